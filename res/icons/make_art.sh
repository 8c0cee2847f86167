#!/usr/bin/env bash
# Draws the toolbar icons and the background picture with ImageMagick, and
# renders the window icon from app.svg with rsvg-convert. The PNG files are
# kept in the repository; run this only to redraw them.
set -euo pipefail
cd "$(dirname "$0")"
C=convert

# Each picture at its size and at twice it (name@2x.png, which Qt takes on a
# screen of device-pixel ratio above 1): the same drawing scaled, not the
# small picture enlarged, so it stays crisp.
for s in 1 2; do
  x=$([[ $s == 1 ]] || echo "@${s}x")
  # Scaled about pixel centres, so that a line on pixel 3 covers pixels 6 and 7.
  o=$([[ $s == 1 ]] && echo 0 || echo 0.5)
  A="-affine $s,0,0,$s,$o,$o"
  # 18 x 18 toolbar pictures on a transparent ground.
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#505050' -fill white \
     -draw "polygon 3,1 11,1 15,5 15,16 3,16" -fill '#d8d8d8' -draw "polygon 11,1 11,5 15,5" \
     -stroke '#9aa0a8' -draw "line 5,8 13,8" -draw "line 5,11 13,11" -draw "line 5,14 10,14" new$x.png
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#8a6a10' -fill '#f2c94c' \
     -draw "polygon 1,4 6,4 8,6 15,6 15,15 1,15" -fill '#f7dc80' -draw "polygon 3,8 17,8 15,15 1,15" open$x.png
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#1d3f7a' -fill '#3a6fc4' -draw "roundrectangle 1,1 16,16 2,2" \
     -fill white -stroke none -draw "rectangle 4,2 13,7" -fill '#c9d6ea' -draw "rectangle 5,10 12,16" \
     -fill '#1d3f7a' -draw "rectangle 10,3 12,6" save$x.png
  # Read: from the radio (left) into the computer, a green arrow.
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#303030' -fill '#4a4a4a' -draw "rectangle 2,5 7,16" \
     -draw "line 3,5 3,1" -fill '#8fd18f' -stroke none -draw "rectangle 3,7 6,9" \
     -fill '#2e9d3a' -draw "polygon 9,9 13,9 13,6 17,11 13,16 13,13 9,13" read$x.png
  # Write: from the computer into the radio, a red arrow.
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#303030' -fill '#4a4a4a' -draw "rectangle 10,5 15,16" \
     -draw "line 11,5 11,1" -fill '#8fd18f' -stroke none -draw "rectangle 11,7 14,9" \
     -fill '#c8372d' -draw "polygon 1,9 5,9 5,6 9,11 5,16 5,13 1,13" write$x.png
  # Undo and redo: a curved arrow turning back, and its mirror image.
  # ImageMagick strokes a scaled arc as a closed one: the larger picture comes from undo.svg.
  if [[ $s == 1 ]]; then
    $C -size 18x18 xc:none -fill none -stroke '#1d3f7a' -strokewidth 2 -draw "arc 3,5 16,16 180,360" \
       -draw "line 16,10 16,13" -stroke none -fill '#1d3f7a' -draw "polygon 0,10 7,10 3.5,15" undo.png
  else
    rsvg-convert -w $((18 * s)) -h $((18 * s)) undo.svg -o undo$x.png
  fi
  $C undo$x.png -flop redo$x.png
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#404040' -fill white -draw "rectangle 5,1 13,7" \
     -fill '#9aa0a8' -draw "roundrectangle 1,6 17,13 2,2" -fill white -draw "rectangle 5,11 13,17" \
     -stroke '#9aa0a8' -draw "line 7,14 11,14" -stroke none -fill '#2e9d3a' -draw "rectangle 14,8 15,9" print$x.png
  $C -size $((18 * s))x$((18 * s)) xc:none $A -stroke '#1d3f7a' -fill '#3a6fc4' -draw "circle 9,9 9,1" \
     -stroke none -fill white -draw "rectangle 8,8 10,14" -draw "circle 9,5 9,4" about$x.png

  # The navigation bar's close button, 16 x 16.
  $C -size $((16 * s))x$((16 * s)) xc:none $A -stroke '#505050' -strokewidth 2 -draw "line 4,4 11,11" -draw "line 11,4 4,11" close$x.png
done

# Window icon: the application icon (app.svg, also the menu's) at 32 x 32 and 64 x 64.
rsvg-convert -w 32 -h 32 app.svg -o app.png
rsvg-convert -w 64 -h 64 app.svg -o app@2x.png

# The tile behind the document windows: a quiet blue field with radio waves.
$C -size 238x157 gradient:'#dfe9f5'-'#b9cde6' \
   -fill none -stroke '#a9c0de' -strokewidth 2 \
   -draw "circle 60,120 60,100" -draw "circle 60,120 60,80" -draw "circle 60,120 60,60" \
   -draw "circle 60,120 60,40" -draw "circle 60,120 60,20" \
   -stroke '#c7d7ec' -draw "circle 190,40 190,25" -draw "circle 190,40 190,10" \
   -stroke '#9eb8da' -strokewidth 3 -draw "line 60,120 60,150" -fill '#9eb8da' -stroke none \
   -draw "circle 60,120 60,116" -depth 8 -type TrueColor ../bitmaps/background137.png
