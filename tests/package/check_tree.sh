#!/usr/bin/env bash
# Checks an installed tree: exactly the expected files with their modes, the saver entry that
# is the program itself, a valid desktop entry, icons that are icon 101 (32 pixels) or it
# scaled without smoothing, a manual page that renders without a warning, Debian's changelog
# and copyright, and nothing that points into the source or build tree.
# Usage: check_tree.sh PREFIX SOURCE_DIR BUILD_DIR VERSION
set -u
prefix=$1
source_dir=$2
build_dir=$3
version=$4
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() {
  echo "check_tree: $*" >&2
  failures=$((failures + 1))
}
for tool in desktop-file-validate convert compare man lexgrog; do
  command -v "$tool" >/dev/null || { echo "check_tree: $tool is missing (run scripts/setup)" >&2; exit 2; }
done
[ -d "$prefix" ] || { echo "check_tree: no folder $prefix" >&2; exit 2; }

# The files, their modes and links, nothing more and nothing less.
want=$(grep -v '^#' "$here/expected_files.txt" | awk '{ print $2 " " ($1 == "link" ? "link " $3 : $1) }' | sort)
got=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort | while read -r f; do
  if [ -L "$f" ]; then echo "$f link $(readlink "$f")"; else echo "$f $(stat -c %a "$f")"; fi
done)
if [ "$want" != "$got" ]; then
  fail "the installed files differ from tests/package/expected_files.txt:"
  diff <(echo "$want") <(echo "$got") | grep '^[<>]' | sed 's/^</  missing:/; s/^>/  unexpected:/' >&2
fi
# No folder is left empty (dpkg and cmake's uninstall would leave it behind).
empty=$(cd "$prefix" && find . -mindepth 1 -type d -empty)
[ -z "$empty" ] || fail "empty folders: $empty"

bin="$prefix/bin/spirals"
[ -x "$bin" ] && file -b "$bin" | grep -q 'ELF 64-bit.*executable' || fail "$bin is not a program"
[ "$(readlink -f "$prefix/libexec/xscreensaver/spirals")" = "$(readlink -f "$bin")" ] ||
  fail "the saver entry is not the program"
# A path into the trees we were built from would break once they are gone.
for tree in "$source_dir" "$build_dir"; do
  if grep -rlF "$tree" "$prefix" >/dev/null 2>&1; then
    fail "these installed files name $tree: $(grep -rlF "$tree" "$prefix" | tr '\n' ' ')"
  fi
done
if command -v ldd >/dev/null; then
  missing=$(ldd "$bin" 2>&1 | grep 'not found')
  [ -z "$missing" ] || fail "libraries not found: $missing"
fi

cmp -s "$prefix/share/xscreensaver/config/spirals.xml" "$source_dir/resources/xscreensaver/spirals.xml" ||
  fail "spirals.xml is not the saver's description"

desktop="$prefix/share/applications/spirals.desktop"
if ! report=$(desktop-file-validate "$desktop" 2>&1); then
  fail "desktop-file-validate: $report"
elif [ -n "$report" ]; then
  fail "desktop-file-validate has remarks: $report"
fi
grep -qx 'Exec=spirals' "$desktop" || fail "the desktop entry does not start spirals"
grep -qx 'Icon=spirals' "$desktop" || fail "the desktop entry does not name the icon"

# Icons: the 32-pixel one is the picture icon 101 was drawn from, letter for letter; every
# other size is it scaled by ImageMagick's point filter (the pixel under each centre).
icons="$prefix/share/icons/hicolor"
if [ -f "$icons/32x32/apps/spirals.png" ]; then
  convert "$icons/32x32/apps/spirals.png" txt:- | awk -v pic="$source_dir/resources/spirals_icon.txt" '
    BEGIN {
      split("K 000000 R 800000 G 008000 Y 808000 B 000080 M 800080 C 008080 s C0C0C0 " \
            "g 808080 r FF0000 l 00FF00 y FFFF00 b 0000FF m FF00FF c 00FFFF W FFFFFF", p, " ")
      for (i = 1; i <= 32; i += 2) rgb[p[i]] = p[i + 1]
      n = 0
      while ((getline line < pic) > 0) {
        if (line == "" || substr(line, 1, 1) == "#") continue
        for (x = 1; x <= 32; x++) { c = substr(line, x, 1); want[n++] = (c == ".") ? "" : rgb[c] "FF" }
      }
    }
    /^[0-9]+,[0-9]+:/ {
      split($1, xy, /[,:]/); i = xy[2] * 32 + xy[1]; hex = substr($3, 2); m++
      if (want[i] == "" ? substr(hex, 7, 2) != "00" : hex != want[i]) {
        if (bad < 5) print "icon 32x32: pixel " xy[1] "," xy[2] " is " hex ", want " (want[i] == "" ? "transparent" : want[i]) > "/dev/stderr"
        bad++
      }
    }
    END { if (n != 1024 || m != 1024) { print "icon 32x32: " m " pixels, picture " n > "/dev/stderr"; exit 1 } exit bad > 0 }' ||
    fail "the 32-pixel icon is not icon 101"
  for size in 16 24 48 64 128 256; do
    png="$icons/${size}x${size}/apps/spirals.png"
    [ -f "$png" ] || continue
    dims=$(identify -format '%w %h %[channels]' "$png")
    [ "$dims" = "$size $size srgba" ] || fail "$png is $dims, want $size $size srgba"
    diff=$(convert "$icons/32x32/apps/spirals.png" -filter point -resize "${size}x${size}!" png32:- |
      compare -metric AE "$png" png32:- null: 2>&1)
    [ "$diff" = "0" ] || fail "the ${size}-pixel icon differs from icon 101 scaled without smoothing in $diff pixels"
  done
fi

# The manual page: no warning from groff or man, a whatis line, and the sections it promises.
page="$prefix/share/man/man6/spirals.6.gz"
if [ -f "$page" ]; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man reports: $warnings"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null | col -b)
  for heading in NAME SYNOPSIS DESCRIPTION CONTROLS OPTIONS "EXIT STATUS" ENVIRONMENT FILES; do
    grep -qx "$heading" <<<"$text" || fail "the manual page has no $heading section"
  done
  for word in --root --window-id --window /usr/share/wine/fonts/vgasys.fon "spirals $version"; do
    grep -qF -- "$word" <<<"$text" || fail "the manual page does not mention $word"
  done
  [ "$(lexgrog "$page" 2>&1)" = "$page: \"spirals - coloured trochoid curves drawn point by point, full screen or as a screen saver\"" ] ||
    fail "whatis cannot read the page's NAME: $(lexgrog "$page" 2>&1)"
fi

changelog="$prefix/share/doc/spirals/changelog.gz"
if [ -f "$changelog" ]; then
  first=$(zcat "$changelog" | head -n 1)
  [ "$first" = "spirals ($version) unstable; urgency=medium" ] ||
    fail "the changelog starts \"$first\", not with version $version"
  # gzip -n: no name or time stamp in the header, so rebuilding gives the same bytes.
  [ "$(od -An -tx1 -j4 -N4 "$changelog" | tr -d ' ')" = 00000000 ] || fail "changelog.gz has a time stamp"
fi
copyright="$prefix/share/doc/spirals/copyright"
[ ! -f "$copyright" ] || head -n 1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in Debian's format"

[ $failures -eq 0 ] || { echo "check_tree: $failures problems in $prefix" >&2; exit 1; }
echo "check_tree: $prefix holds what it should"
