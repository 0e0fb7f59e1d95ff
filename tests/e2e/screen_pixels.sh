# shellcheck shell=bash disable=SC2034
# Reading the game's pixels off the screen (sourced by the end-to-end test).
# A cell is recognised by its inner 14 x 14 pixels: the blinking marker only
# ever touches the outermost ring, so a cell under it still matches its sprite.

declare -A SPRITE_CODE=()   # inner pixels of a cell sprite, in hex -> sheet index 0-f
CELL_ART=0                  # 1 once the cell sheet gives distinct covers and contents

# Captures a window's contents into WORK/shot.ppm.
Grab() {
  import -silent -window "$1" -depth 8 "ppm:$WORK/shot.ppm" 2>/dev/null
}

# Raw pixels of a region as one line of hex: file width height x y.
RegionHex() {
  convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -alpha off -depth 8 rgb:- |
    od -An -v -tx1 -w$(( $2 * $3 * 3 )) | tr -d ' '
}

# Inner pixels of every 16 x 16 cell of a region, one line of hex per cell,
# row by row: file width height x y.
InnerCells() {
  convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -alpha off -crop 16x16 +repage -shave 1x1 -append \
    -depth 8 rgb:- | od -An -v -tx1 -w588 | tr -d ' '
}

# Learns the 16 cell pictures from the sheet the game was built with. Without
# distinct pictures for the four covers and the empty open cell (the art not
# drawn yet) the cell checks cannot tell covered from open.
LoadCellSheet() {
  local sheet=$1 line k=0 codes=0123456789abcdef
  SPRITE_CODE=()
  CELL_ART=0
  [[ -f $sheet ]] || return 0
  local -a lines
  mapfile -t lines < <(InnerCells "$sheet" 256 16 0 0)
  (( ${#lines[@]} == 16 )) || return 0
  for line in "${lines[@]}"; do
    [[ -v SPRITE_CODE[$line] ]] || SPRITE_CODE[$line]=${codes:k:1}
    k=$(( k + 1 ))
  done
  # Covers 0-3 and the empty open cell 4 must each be told apart from all.
  for k in 0 1 2 3 4; do
    [[ ${SPRITE_CODE[${lines[k]}]} == "${codes:k:1}" ]] || return 0
  done
  for k in $(seq 5 15); do
    case ${SPRITE_CODE[${lines[k]}]} in [0-4]) return 0 ;; esac
  done
  CELL_ART=1
}

# The sheet index shown in each cell of a board of the last grab, row by row
# ('?' where an effect or anything else covers the picture): columns rows x y
# [picture, instead of the last grab].
BoardCodes() {
  local line codes=""
  while IFS= read -r line; do
    codes+=${SPRITE_CODE[$line]:-?}
  done < <(InnerCells "${5:-$WORK/shot.ppm}" $(( $1 * 16 )) $(( $2 * 16 )) "$3" "$4")
  echo "$codes"
}

# Whether the 16 x 16 square at (x, y) of the last grab wears the red
# one-pixel frame of the marker.
MarkerAt() {
  local -a rows
  mapfile -t rows < <(convert "$WORK/shot.ppm" -crop "16x16+$1+$2" +repage -depth 8 rgb:- |
    od -An -v -tx1 -w48 | tr -d ' ')
  (( ${#rows[@]} == 16 )) || return 1
  local full
  full=$(printf 'ff0000%.0s' {1..16})
  [[ ${rows[0]} == "$full" && ${rows[15]} == "$full" ]] || return 1
  local i
  for i in $(seq 1 14); do
    [[ ${rows[i]:0:6} == ff0000 && ${rows[i]:90:6} == ff0000 ]] || return 1
  done
}

# Brightest grey level (0 to 1) of a region of the last grab: width height x y.
Brightest() {
  convert "$WORK/shot.ppm" -crop "${1}x${2}+${3}+${4}" +repage -colorspace Gray -format '%[fx:maxima]\n' info:
}

# The first row, from the top of the last grab, whose pixel in column x is
# pure red; empty when there is none in the first 100 rows.
FirstRedRow() {
  convert "$WORK/shot.ppm" -crop "1x100+$1+0" +repage -depth 8 rgb:- | od -An -v -tx1 -w3 | tr -d ' ' |
    grep -n -m 1 '^ff0000$' | cut -d: -f1 | awk '{ print $1 - 1 }'
}
