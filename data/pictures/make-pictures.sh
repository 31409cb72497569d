#!/usr/bin/env bash
# Draws the program's two pictures with ImageMagick: the banner under the folder browser
# (209 x 33) and the logo of the about box (313 x 105). Both show a small stack of pages
# next to the name. Run from anywhere; writes banner.jpg and logo.jpg beside this script.
set -euo pipefail
cd "$(dirname "$0")"
bold=DejaVu-Sans-Bold
plain=DejaVu-Sans

# Appends to the array `stack` the drawing of three pages, each a white sheet with a dark
# edge, offset down and to the right, with a few text lines on the top one.
# $1 = scale (1 for the banner, 3 for the logo), $2 = x, $3 = y of the top page.
page_stack() {
  local s=$1 x=$2 y=$3 i l
  stack=()
  for i in 2 1 0; do
    local px=$((x + i * 3 * s)) py=$((y + i * 2 * s))
    stack+=(-fill white -stroke '#23415e' -strokewidth "$s"
            -draw "rectangle $px,$py $((px + 16 * s)),$((py + 22 * s))")
  done
  for l in 0 1 2 3; do
    local ly=$((y + 5 * s + l * 4 * s))
    stack+=(-stroke '#7aa6cf' -strokewidth "$s"
            -draw "line $((x + 3 * s)),$ly $((x + 13 * s)),$ly")
  done
}

page_stack 1 8 3
convert -size 209x33 gradient:'#2f6aa3-#173a5e' "${stack[@]}" \
  -stroke none -fill white -font "$bold" -pointsize 17 -annotate +40+23 'Foliotally' \
  -fill '#cfe3f6' -font "$plain" -pointsize 8 -annotate +142+22 'page counter' \
  -quality 92 -strip banner.jpg

page_stack 3 14 8
convert -size 313x105 xc:white \
  -fill '#eef4fa' -stroke '#2f6aa3' -strokewidth 2 -draw 'roundrectangle 1,1 311,103 10,10' \
  "${stack[@]}" \
  -stroke none -fill '#173a5e' -font "$bold" -pointsize 32 -annotate +106+58 'Foliotally' \
  -fill '#2f6aa3' -font "$plain" -pointsize 13 -annotate +108+82 'PDF page counter' \
  -quality 92 -strip logo.jpg
