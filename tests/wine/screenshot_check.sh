#!/usr/bin/env bash
# Checks a screenshot of the program's full-screen window: the client area (found below the
# caption and inside the frame) is mostly black, shows coloured curve pixels, and has white
# status-line text at its top-left (with `no-text`: none there, as without a usable font).
# Prints the figures; exit status 0 when all checks hold.
# Usage: screenshot_check.sh shot.png [no-text]
set -u
shot=$1
text=${2:-text}

# Pixels of a region as "x y r g b" lines; a second argument keeps one pixel in N by N
# (point sampling: colours stay exact).
pixels() {
  convert "$shot" -crop "$1" +repage -sample "$((100 / ${2:-1}))%" -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p'
}

read -r width height < <(identify -format '%w %h\n' "$shot")

# Client top: the first row whose middle is mostly black (caption and frame are not).
top=$(pixels "${width}x120+0+0" | awk -v w="$width" '
  $1 >= w / 8 && $1 < w * 7 / 8 { n[$2]++; if ($3 + $4 + $5 == 0) b[$2]++ }
  END { for (y = 0; y < 120; y++) if (n[y] > 0 && b[y] >= 0.6 * n[y]) { print y; exit } print -1 }')
# Client left: the first column that is black almost all the way down its middle part.
left=$(pixels "60x300+0+$((height / 4))" | awk '
  { n[$1]++; if ($3 + $4 + $5 == 0) b[$1]++ }
  END { for (x = 0; x < 60; x++) if (n[x] > 0 && b[x] >= 0.9 * n[x]) { print x; exit } print -1 }')
if [ "$top" -lt 0 ] || [ "$left" -lt 0 ]; then
  echo "screenshot_check: no black client area found (top=$top left=$left)" >&2
  exit 1
fi

clientW=$((width - 2 * left))
clientH=$((height - top - left))
# Black, curve and white pixels of the client area below the status line's band, one pixel in
# 2x2. A curve pixel is any lit pixel that is not white: a curve's colour may be dim or grey.
band=20
read -r black coloured white total < <(pixels "${clientW}x$((clientH - band))+${left}+$((top + band))" 2 | awk '
  { t++; mx = $3; if ($4 > mx) mx = $4; if ($5 > mx) mx = $5
    mn = $3; if ($4 < mn) mn = $4; if ($5 < mn) mn = $5
    if (mx == 0) k++; else if (mn >= 250) w++; else c++ }
  END { print k + 0, c + 0, w + 0, t + 0 }')
# White text in the status line's place: the top-left corner of the client area.
statusWhite=$(pixels "400x20+${left}+${top}" | awk '$3 >= 250 && $4 >= 250 && $5 >= 250 { w++ } END { print w + 0 }')

echo "client origin ($left,$top) size ${clientW}x${clientH}; sampled: black $black," \
  "coloured $coloured, white $white of $total; white in the status corner $statusWhite"
status=0
if [ $((black * 2)) -le "$total" ]; then
  echo "screenshot_check: the client area is not mostly black" >&2
  status=1
fi
if [ "$coloured" -lt 50 ]; then
  echo "screenshot_check: too few coloured curve pixels ($coloured)" >&2
  status=1
fi
if [ "$text" = no-text ]; then
  if [ "$statusWhite" -ne 0 ]; then
    echo "screenshot_check: white text at the top-left ($statusWhite pixels), where none belongs" >&2
    status=1
  fi
elif [ "$statusWhite" -lt 100 ]; then
  echo "screenshot_check: no white status line at the top-left ($statusWhite pixels)" >&2
  status=1
fi
exit $status
