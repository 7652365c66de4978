#!/usr/bin/env bash
# Checks that an X window shows the program's icon 101: the 32x32 image of its _NET_WM_ICON
# property (set by Wine from the window class's icon) equals the letter picture in
# resources/spirals_icon.txt pixel for pixel (transparent letters: alpha 0).
# Usage: icon_check.sh <X window id> <spirals_icon.txt>
set -u
window=$1
picture=$2

xprop -id "$window" -notype 32c _NET_WM_ICON | sed 's/^[^=]*=//' | tr ',' '\n' | awk -v pic="$picture" '
  BEGIN {
    split("K 0 0 0 R 128 0 0 G 0 128 0 Y 128 128 0 B 0 0 128 M 128 0 128 C 0 128 128 " \
          "s 192 192 192 g 128 128 128 r 255 0 0 l 0 255 0 y 255 255 0 b 0 0 255 " \
          "m 255 0 255 c 0 255 255 W 255 255 255", p, " ")
    for (i = 1; i <= 64; i += 4) rgb[p[i]] = p[i + 1] * 65536 + p[i + 2] * 256 + p[i + 3]
    n = 0
    while ((getline line < pic) > 0) {
      if (line == "" || substr(line, 1, 1) == "#") continue
      for (x = 1; x <= 32; x++) {
        c = substr(line, x, 1)
        want[n++] = (c == ".") ? 0 : 4278190080 + rgb[c]
      }
    }
  }
  { gsub(/ /, ""); if ($0 != "") v[m++] = $0 + 0 }
  END {
    if (n != 1024) { print "icon_check: the picture has " n " pixels, want 1024" > "/dev/stderr"; exit 1 }
    if (m < 1026 || v[0] != 32 || v[1] != 32) {
      print "icon_check: no 32x32 image in _NET_WM_ICON" > "/dev/stderr"; exit 1
    }
    bad = 0
    for (i = 0; i < 1024; i++) {
      got = v[i + 2]
      # Transparent pixels only need alpha 0; their colour bits carry no meaning.
      if (want[i] == 0 ? (got >= 16777216) : (got != want[i])) {
        if (bad < 5) printf "icon_check: pixel (%d,%d) is %08x, want %08x\n", i % 32, int(i / 32), got, want[i] > "/dev/stderr"
        bad++
      }
    }
    print "icon: " (1024 - bad) " of 1024 pixels as drawn"
    exit bad > 0
  }'
