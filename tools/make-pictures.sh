#!/usr/bin/env bash
# Draws the launcher's pictures from one description each, with ImageMagick:
#   res/header.bmp, res/header@2x.bmp   the pages' header band at 96 DPI and twice that
#   res/setup.ico                       the icon, 16 to 256 pixels
# Each size is drawn at its own scale (not scaled from another), so lines stay sharp. The
# header pictures are 8-bit run-length encoded BMPs without dithering: a few KB each, and
# the background keeps one exact colour, which the text-fit probe tells the drawing by.
#   tools/make-pictures.sh [output folder]      (default: res/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/res}
mkdir -p "$out"

background='#EEF3FA'
wire='#3A6EA5'
diode_edge='#C0392B'
diode_fill='#F1C40F'

# The circuit in 96-DPI pixels of the 800 x 88 band picture, which the pages centre on a
# band about 494 pixels wide at 96 DPI, so x 153 to 647 shows (at 144 and 192 DPI too).
# The titles of all six languages take rows 8 to 26 as far as x 590, the messages rows 40
# and below as far as x 636 (the text-fit probe's lines): the drawing keeps to the strip
# above the titles, the gap between titles and messages, and a loop right of the titles.
loop_left=592 loop_right=630 high=4 low=33   # the loop; the low wire runs on to the left
low_end=330 high_end=520 high_dot=6.5         # where the wires end in a terminal
resistor=400 diode=470                        # their left ends, on the low wire
cell=18                                       # the battery on the loop's right side

header() {  # scale file
  local k=$1
  s() { awk -v k="$k" 'BEGIN { for (i = 1; i < ARGC; i++) printf "%s%g", (i > 1 ? "," : ""), ARGV[i] * k }' "$@"; }
  convert -size "$(s 800)x$(s 88 | tr , x)" "xc:$background" \
    -fill none -stroke "$wire" -strokewidth "$(s 1.5)" \
    -draw "line $(s $high_end $high) $(s $loop_right $high)" \
    -draw "line $(s $low_end $low) $(s $loop_right $low)" \
    -draw "line $(s $loop_left $high) $(s $loop_left $low)" \
    -draw "line $(s $loop_right $high) $(s $loop_right $((cell - 2)))" \
    -draw "line $(s $loop_right $((cell + 3))) $(s $loop_right $low)" \
    -draw "line $(s $((loop_right - 7)) $((cell - 2))) $(s $((loop_right + 7)) $((cell - 2)))" \
    -draw "line $(s $((loop_right - 4)) $((cell + 3))) $(s $((loop_right + 4)) $((cell + 3)))" \
    -fill "$background" -draw "rectangle $(s $resistor $((low - 4)) $((resistor + 22)) $((low + 4)))" \
    -stroke "$diode_edge" -fill "$diode_fill" \
    -draw "polygon $(s $diode $((low - 5))) $(s $((diode + 10)) $low) $(s $diode $((low + 5)))" \
    -draw "line $(s $((diode + 11)) $((low - 5))) $(s $((diode + 11)) $((low + 5)))" \
    -stroke "$wire" -fill "$wire" \
    -draw "circle $(s $low_end $low) $(s $low_end $((low + 3)))" \
    -draw "circle $(s $high_end $high) $(s $high_end $high_dot)" \
    -draw "circle $(s $loop_left $low) $(s $loop_left $((low + 2)))" \
    +dither -colors 64 -type Palette -compress RLE "BMP3:$2"
}
header 1 "$out/header.bmp"
header 2 "$out/header@2x.bmp"

# The icon: a blue rounded square, two white terminals, a yellow component between them,
# drawn at 256 pixels and reduced per size.
icon=$(mktemp --suffix=.png)
trap 'rm -f "$icon"' EXIT
convert -size 256x256 xc:none \
  -fill '#1F5FA8' -draw "roundrectangle 8,8 247,247 44,44" \
  -fill white -draw "circle 72,128 72,172" -draw "circle 184,128 184,172" \
  -fill '#F2C230' -stroke '#1E5EA8' -strokewidth 6 -draw "rectangle 108,56 148,200" \
  "$icon"
convert "$icon" -define icon:auto-resize=256,64,48,40,32,24,20,16 "$out/setup.ico"
