#!/bin/bash
# The built game under a private X server with a window manager, played with
# real X events: the title card, the main window at each level, moves on the
# board by mouse and by keys alone, the menus with their mnemonics and
# accelerators, the dialogs, a small screen, a clean exit however the window
# goes, a won game whose run is watched again from the records and from the
# command line, and a won game whose typed record outlives the end of the
# session. Checked through window names, sizes, screen pixels, the records
# file, the replay tool and the exit status.
#
# Usage: play_test.sh GAME ASSETS_DIR REPLAY_TOOL
# Exits 77 (skipped) when the X tools are not installed.

set -u
GAME=$1
ASSETS=$2
REPLAY=$3
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/x_session.sh
source "$HERE/../../scripts/x_session.sh"
# shellcheck source=screen_pixels.sh
source "$HERE/screen_pixels.sh"

NeedTools Xvfb openbox xdotool xwininfo xprop xmessage import convert od || exit 77
[[ -x $GAME ]] || { echo "no game at $GAME"; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/porteka-e2e.XXXXXX")
FAILED=1
Finish() {
  StopXSession
  if (( FAILED )); then echo "screens and logs kept in $WORK"; else rm -rf "$WORK"; fi
}
trap Finish EXIT
trap 'exit 2' INT TERM

STEP=""
Step() { STEP=$1; echo "== $1"; }
Ok() { echo "ok - $*"; }
Fail() {
  echo "FAIL [$STEP]: $*"
  [[ -f $WORK/shot.ppm ]] && cp "$WORK/shot.ppm" "$WORK/failure.ppm"
  echo "--- game output:"
  cat "$WORK/game.log" 2>/dev/null
  exit 1
}

# ---------------------------------------------------------------- the window

MAIN=""
MB=0   # menu bar height: the interior starts this far below the window's top
ZOOM=1 # the factor the window is shown at: every pixel of the layout a ZOOM x ZOOM block

MainIsActive() { [[ $(xdotool getactivewindow 2>/dev/null) == "$MAIN" ]]; }
# The window named $2 comes up within $1 s and is the one played from then on.
MainBecomes() { Poll "$1" WindowShown "$2" || Fail "$3"; MAIN=$(FindWindow "$2"); }
WaitForMain() { Poll 3 MainIsActive || Fail "the main window does not have the focus"; }

Key() { xdotool key --delay 40 "$@"; }
# A dialog drops the key presses of its first 0.4 s, which may still be the game's.
LetDialogTakeKeys() { sleep 0.5; }

# Interior position -> screen position of the main window.
ScreenX() { echo $(( WIN_X + $1 )); }
ScreenY() { echo $(( WIN_Y + MB + $1 )); }

# The interior and board placement of a board of COLS x ROWS cells: a side of
# fewer than 16 cells is centred in 256 pixels, below the 25-pixel top band;
# all of it ZOOM times as large.
Layout() {
  COLS=$1 ROWS=$2
  if (( COLS < 16 )); then INT_W=256 BOARD_X=$(( 8 * (16 - COLS) )); else INT_W=$(( 16 * COLS )) BOARD_X=0; fi
  if (( ROWS < 16 )); then INT_H=287 BOARD_Y=$(( 25 + 8 * (16 - ROWS) )); else INT_H=$(( 16 * ROWS + 25 )) BOARD_Y=25; fi
  INT_W=$(( INT_W * ZOOM )) INT_H=$(( INT_H * ZOOM )) BOARD_X=$(( BOARD_X * ZOOM )) BOARD_Y=$(( BOARD_Y * ZOOM ))
}

GeometryIsLayout() { ReadGeometry "$MAIN" && (( WIN_W == INT_W && WIN_H == INT_H + MB )); }

ExpectLayout() {
  local what=$1
  Layout "$2" "$3"
  Poll 3 GeometryIsLayout ||
    Fail "$what: interior ${WIN_W}x$(( WIN_H - MB )), expected ${INT_W}x${INT_H}"
  Ok "$what: interior ${INT_W}x${INT_H}, board ${COLS}x${ROWS} at ($BOARD_X,$BOARD_Y), zoom $ZOOM"
}

# ---------------------------------------------------------------- the board

CODES=""
# The board's picture as drawn, one pixel of each ZOOM x ZOOM block.
BoardCrop() {
  convert "$WORK/shot.ppm" -crop "$(( 16 * COLS * ZOOM ))x$(( 16 * ROWS * ZOOM ))+$BOARD_X+$(( MB + BOARD_Y ))" \
    +repage -sample "$(( 16 * COLS ))x$(( 16 * ROWS ))!" "$1"
}
GrabBoard() {
  Grab "$MAIN" || return 1
  if (( ZOOM == 1 )); then CODES=$(BoardCodes "$COLS" "$ROWS" "$BOARD_X" $(( MB + BOARD_Y ))); return; fi
  BoardCrop "$WORK/board.ppm" && CODES=$(BoardCodes "$COLS" "$ROWS" 0 0 "$WORK/board.ppm")
}
CodeAt() { echo "${CODES:$(( $2 * COLS + $1 )):1}"; }
CellCentreX() { ScreenX $(( BOARD_X + (16 * $1 + 8) * ZOOM )); }
CellCentreY() { ScreenY $(( BOARD_Y + (16 * $1 + 8) * ZOOM )); }

# Codes are sheet indices: 0 covered, 1 flag, 2 second mark, 3 keyboard mark,
# 4-f the open contents (4 empty, 5-c digits, d bomb, e-f blasted).
BoardIs() { GrabBoard && [[ $CODES =~ ^[$1]+$ ]]; }
CellIs() { GrabBoard && [[ $(CodeAt "$1" "$2") == [$3] ]]; }
RowOpen() {  # row first last
  GrabBoard || return 1
  local x
  for (( x = $2; x <= $3; x++ )); do [[ $(CodeAt "$x" "$1") == [4-9a-f] ]] || return 1; done
}
# Every cell shows code $1 except (x, y), which shows $4.
BoardIsBut() {
  GrabBoard || return 1
  local want i=$(( $3 * COLS + $2 ))
  want=$(printf "%${#CODES}s" "" | tr ' ' "$1")
  [[ ${#CODES} == $(( COLS * ROWS )) && ${CODES:0:i}${CODES:i+1} == "${want:1}" && ${CODES:i:1} == "$4" ]]
}

LAST=""
SETTLED=()          # the pictures of the board being played, settled between moves
declare -A AT_TIME  # the board at each time the counters showed, where no effect covers it
# The counter strip, face and all, as a short key.
StripKey() { RegionHex "$WORK/shot.ppm" "$INT_W" 24 0 "$MB" | md5sum | cut -c1-32; }
Won() { WindowShown "新記録！！"; }
# The same picture twice with no effect over it, or the game won (the dialog
# then covers part of the board).
BoardSettled() {
  Won && return
  GrabBoard || return 1
  [[ $CODES == *'?'* ]] || AT_TIME[$(StripKey)]=$CODES
  [[ $CODES != *'?'* && $CODES == "$LAST" ]] || { LAST=$CODES; return 1; }
  if (( ! ${#SETTLED[@]} )) || [[ ${SETTLED[-1]} != "$CODES" ]]; then SETTLED+=("$CODES"); fi
}
ShowCodes() {
  local y
  for (( y = 0; y < ROWS; y++ )); do echo "    ${CODES:y*COLS:COLS}"; done
}

# Board checks need cell pictures that tell the cells apart.
ExpectBoard() {
  local what=$1
  shift
  if (( ! CELL_ART )); then echo "skip - $what (no distinct cell art in $ASSETS/cells.png)"; return; fi
  Poll 4 "$@" || { ShowCodes; Fail "$what"; }
  Ok "$what"
}

# The marker blinks: among a few grabs there is one with it and one without.
MarkerBlinksAt() {
  local what=$1 x=$(( BOARD_X + 16 * $2 )) y=$(( MB + BOARD_Y + 16 * $3 )) on=0 off=0 i
  for (( i = 0; i < 40 && (on == 0 || off == 0); i++ )); do
    Grab "$MAIN" || continue
    if MarkerAt "$x" "$y"; then on=1; else off=1; fi
    sleep 0.011
  done
  (( on )) || Fail "$what: no red marker frame on cell ($2,$3)"
  (( off )) || Fail "$what: the marker on cell ($2,$3) never blinks off"
  Ok "$what: the red marker blinks on cell ($2,$3)"
}

# Left button held from the centre of one cell to another, a few pixels a step.
LeftDrag() {  # from-x from-y to-x to-y (cells)
  local sx sy ex ey args=() px py steps i
  sx=$(CellCentreX "$1") sy=$(CellCentreY "$2") ex=$(CellCentreX "$3") ey=$(CellCentreY "$4")
  local dx=$(( ex - sx )) dy=$(( ey - sy ))
  steps=$(( (${dx#-} > ${dy#-} ? ${dx#-} : ${dy#-}) / 4 ))
  (( steps == 0 )) && steps=1
  for (( i = 1; i <= steps; i++ )); do
    px=$(( sx + (ex - sx) * i / steps )) py=$(( sy + (ey - sy) * i / steps ))
    args+=(mousemove "$px" "$py" sleep 0.012)
  done
  xdotool mousemove "$sx" "$sy" sleep 0.05 mousedown 1 sleep 0.03 "${args[@]}" mouseup 1
}

# The counter strip on both sides of the face button: black, or white text.
StripBrightest() {
  local face=$(( INT_W / 2 - 12 ))
  Brightest "$face" 24 0 "$MB"
  Brightest $(( INT_W - face - 24 )) 24 $(( face + 24 )) "$MB"
}
StripBlank() { Grab "$MAIN" && [[ $(StripBrightest | sort -g | tail -n 1) == 0 ]]; }
StripHasText() { Grab "$MAIN" && (( $(StripBrightest | awk '$1 > 0.9' | wc -l) == 2 )); }

# The face button's 24 x 24 pixels against a picture of the art.
FaceIs() {  # picture x-in-picture
  Grab "$MAIN" && [[ $(RegionHex "$WORK/shot.ppm" 24 24 $(( INT_W / 2 - 12 )) "$MB") == $(RegionHex "$1" 24 24 "$2" 0) ]]
}
ExpectFace() {
  local what=$1
  if [[ ! -f $2 ]]; then echo "skip - $what (no $2)"; return; fi
  Poll 2 FaceIs "$2" "$3" || Fail "$what"
  Ok "$what"
}

# The game ends within 5 s of $1; STATUS is its exit status.
GameEnds() {
  Poll 5 GameHasExited || Fail "the game is still running 5 s after $1"
  wait "$GAME_PID"
  STATUS=$?
  GAME_PID=""
}
# The game ends on its own, with status 0.
ExpectCleanExit() {
  GameEnds "$1"
  (( STATUS == 0 )) || Fail "the game ended with status $STATUS after $1"
  Ok "$1: the game ended with status 0"
}

# A click (button $1, the right one by default) in the middle of the title card.
CardAway() {
  Poll 10 WindowShown Form3 || Fail "no title card"
  ReadGeometry "$(FindWindow Form3)"
  xdotool mousemove $(( WIN_X + 64 )) $(( WIN_Y + 64 )) click "${1:-3}"
}

PopupCountIs() { (( $(VisibleWindowCount) == $1 )); }
# Alt+G and then the given mnemonic letters, each once its menu is open.
GameMenu() {
  WaitForMain
  Key alt+g
  Poll 3 PopupCountIs 2 || Fail "Alt+G does not open the 爆弾 menu"
  local letter
  for letter in "$@"; do
    Key "$letter"
    if [[ $letter == s ]]; then
      Poll 3 PopupCountIs 3 || Fail "S does not open the 処理 submenu"
    fi
  done
}

LoadCellSheet "$ASSETS/cells.png"
(( CELL_ART )) || echo "note: $ASSETS/cells.png is missing or its cells look alike; board pictures are not checked"

StartXSession || exit 1
T0=$(NowMs)

# ---------------------------------------------------------------- title card
Step "title card at start-up"
StartGame "$GAME"
Poll 10 WindowShown Form3 || Fail "no window named Form3 came up"
CARD=$(FindWindow Form3)
ReadGeometry "$CARD" || Fail "cannot read the title card's geometry"
(( WIN_W == 128 && WIN_H == 128 )) || Fail "title card is ${WIN_W}x${WIN_H}, expected 128x128"
Ok "the borderless title card Form3 is 128x128"
WindowShown "ポルテカ" && Fail "the main window is up before the title card has gone"
Ok "the main window waits for the card"
# Keys leave the card up; only the mouse takes it away.
Key Escape Return
sleep 0.3
WindowShown Form3 || Fail "a key closed the title card"
Ok "Escape and Return leave the card up"
xdotool mousemove $(( WIN_X + 64 )) $(( WIN_Y + 64 )) click 3
Poll 5 WindowGone Form3 || Fail "a right click does not close the title card"
MainBecomes 5 "ポルテカ" "no main window named ポルテカ after the card"
Ok "a right click takes the card away and the main window ポルテカ comes up"
WaitForMain
Ok "the main window has the focus"

# ---------------------------------------------------------------- start-up state
Step "main window at start-up"
# Find the menu bar through the red line under the counter strip, 24 pixels
# into the interior.
Poll 3 ReadGeometry "$MAIN" || Fail "cannot read the main window's geometry"
Grab "$MAIN" || Fail "cannot capture the main window"
RED_ROW=$(FirstRedRow $(( WIN_W - 3 )))
[[ -n $RED_ROW ]] || Fail "no red line under the counter strip"
MB=$(( RED_ROW - 24 ))
(( MB >= 10 && MB <= 60 )) || Fail "the red line sits at $RED_ROW: no room for a menu bar above the interior"
Ok "menu bar $MB pixels high, red line 24 pixels into the interior"
ExpectLayout "intermediate layout at start-up" 16 16
ExpectBoard "no board yet: every cell shows the empty open picture" BoardIs 4
Poll 2 StripBlank || Fail "the counter strip is not blank before the first game"
Ok "the counter strip is blank"
ExpectFace "the face button shows its initial picture" "$ASSETS/face_button.png" 0
MarkerBlinksAt "nothing pressed yet" 0 0

# ---------------------------------------------------------------- beginner
Step "F1: beginner"
WaitForMain
Key F1
ExpectLayout "beginner layout after F1" 8 8
ExpectBoard "a new beginner board is all covered" BoardIs 0
Poll 2 StripHasText || Fail "the counter strip shows no text after F1"
Ok "the counter strip shows the counters"
ExpectFace "the face shows the normal face" "$ASSETS/faces.png" 0

Step "left drag across a row"
LeftDrag 0 3 7 3
ExpectBoard "every cell the left button crossed is open" RowOpen 3 0 7
MarkerBlinksAt "pressed at the row's start" 0 3

Step "right button marks"
WaitForMain
Key F1
ExpectBoard "F1 again: a fresh covered board" BoardIs 0
X=$(CellCentreX 2) Y=$(CellCentreY 5)
xdotool mousemove "$X" "$Y" sleep 0.05 mousedown 3 sleep 0.05 mousemove $(( X + 1 )) "$Y"
ExpectBoard "one move with the right button held sets a flag" BoardIsBut 0 2 5 1
xdotool mousemove $(( X + 2 )) "$Y" sleep 0.05 mouseup 3
ExpectBoard "the next move turns it into the second mark" BoardIsBut 0 2 5 2

Step "keys on the pressed cell"
xdotool mousemove "$(CellCentreX 5)" "$(CellCentreY 2)" sleep 0.05 mousedown 1 sleep 0.03 mouseup 1
MarkerBlinksAt "a press" 5 2
ExpectBoard "a press changes no cell" CellIs 5 2 0
WaitForMain
Key a
ExpectBoard "A puts the keyboard mark on the pressed cell" CellIs 5 2 3
Key ctrl+a
ExpectBoard "Ctrl+A inverts the marks over the board, the second mark included" BoardIsBut 3 5 2 0
Key z
ExpectBoard "Z uncovers the pressed cell" CellIs 5 2 4-9a-f
Key ctrl+a
ExpectBoard "Ctrl+A again takes every keyboard mark off" CellIs 2 5 0

Step "keyboard-only play"
xdotool mousemove 0 0   # nowhere near the board from here on
WaitForMain
Key F4 Escape
Poll 5 WindowShown "カスタム" || Fail "F4 does not open the dialog カスタム"
LetDialogTakeKeys
WindowShown "カスタム" || Fail "an Escape right behind F4 closes the custom dialog"
Key Escape
Poll 3 WindowGone "カスタム" || Fail "Escape does not close the custom dialog"
WaitForMain
Key F1
ExpectBoard "F1 after a dialog closed by Escape: a fresh covered board" BoardIs 0
# Eight steps up and left reach the corner from any cell: the edges stop them.
Key Left Left Left Left Left Left Left Left Up Up Up Up Up Up Up Up Right Right Down
MarkerBlinksAt "the arrows" 2 1
Key c
ExpectBoard "C flags the cell the arrows reached" BoardIsBut 0 2 1 1
Key Right Right Right Down Down Down Down alt+a
Poll 5 WindowShown Form3 || Fail "Alt+A does not show the title card"
ReadGeometry "$(FindWindow Form3)"
xdotool mousemove $(( WIN_X + 30 )) $(( WIN_Y + 90 )) click 1 mousemove 0 0
Poll 5 WindowGone Form3 || Fail "a left click does not close the title card"
WaitForMain
ReadGeometry "$MAIN"
Ok "Alt+A shows the title card, a click takes it away"
ExpectBoard "Alt+A has put the keyboard mark on the selected cell" CellIs 5 5 3
Key Left Left Left Left Left Down Down z
ExpectBoard "Z uncovers the cell the arrows reached" CellIs 0 7 4-9a-f

Step "the double click on marked cells"
WaitForMain
Key F1
ExpectBoard "F1: a fresh covered board" BoardIs 0
Key ctrl+a
ExpectBoard "Ctrl+A marks every covered cell" BoardIs 3
LeftDrag 0 6 7 6
sleep 0.2
ExpectBoard "a left drag leaves keyboard-marked cells as they are" BoardIs 3
# The last move was made with the left button held: a double click on a
# marked cell opens every marked cell of the board, bombs and all.
xdotool click --repeat 2 --delay 80 1
ExpectBoard "a double click on a marked cell opens every marked cell" BoardIs 4-9a-f
ExpectFace "the bombs that went off show the losing face" "$ASSETS/faces.png" 48
xdotool mousemove "$(ScreenX $(( INT_W / 2 )))" "$(ScreenY 12)" sleep 0.05 click 1
ExpectBoard "the face button starts a fresh game" BoardIs 0
ExpectFace "with the normal face" "$ASSETS/faces.png" 0

# ---------------------------------------------------------------- menus
Step "advanced through the menu's mnemonics"
GameMenu s t
Poll 3 PopupCountIs 1 || Fail "the menus stay open after T"
ExpectLayout "advanced layout after Alt+G S T" 30 16
ExpectBoard "a new advanced board is all covered" BoardIs 0
ExpectFace "the face shows the normal face" "$ASSETS/faces.png" 0
LeftDrag 0 0 3 0
ExpectBoard "a drag opens cells on the advanced board" RowOpen 0 0 3

Step "F4: custom board dialog closed by its close box"
WaitForMain
Key F4
Poll 5 WindowShown "カスタム" || Fail "F4 does not open the dialog カスタム"
DIALOG=$(FindWindow "カスタム")
ReadGeometry "$DIALOG"
(( WIN_W == 154 && WIN_H == 112 )) || Fail "the custom dialog is ${WIN_W}x${WIN_H}, expected 154x112"
Ok "the custom dialog is up, 154x112"
# Move the width bar; the close box must not take the new value.
Key Left Left
Key alt+F4
Poll 5 WindowGone "カスタム" || Fail "Alt+F4 (the close box) does not close the custom dialog"
ExpectLayout "custom game with the previous settings" 30 16
ExpectBoard "the custom board is all covered" BoardIs 0

Step "custom board dialog confirmed with its button"
WaitForMain
Key F4
Poll 5 WindowShown "カスタム" || Fail "F4 does not open the dialog カスタム"
LetDialogTakeKeys
# Width and height to their smallest through the keyboard, the width two up
# with the arrows, then the button.
Key Home Right Right Tab Home Tab Tab space
Poll 5 WindowGone "カスタム" || Fail "the button does not close the custom dialog"
ExpectLayout "a 4x2 custom board centred in the interior" 4 2
ExpectBoard "the 4x2 board is all covered" BoardIs 0
WaitForMain
Key F3
ExpectLayout "F3: advanced again" 30 16

Step "Ctrl+S: a new game with the current settings"
LeftDrag 29 15 26 15
ExpectBoard "a drag opens cells on the advanced board" RowOpen 15 26 29
WaitForMain
Key ctrl+s
ExpectBoard "Ctrl+S brings a fresh covered board" BoardIs 0
ExpectLayout "same size after Ctrl+S" 30 16

Step "records dialog"
# Its caption is drawn from a table of six, each ending in 記録達.
RecordsWindow() { xdotool search --all --onlyvisible --pid "$GAME_PID" --name '記録達$' 2>/dev/null | head -n 1; }
RecordsShown() { [[ -n $(RecordsWindow) ]]; }
GameMenu h
Poll 5 RecordsShown || Fail "Alt+G H does not open the records dialog"
RECORDS=$(RecordsWindow)
CAPTION=$(xdotool getwindowname "$RECORDS")
ReadGeometry "$RECORDS"
(( WIN_W == 336 && WIN_H == 161 )) || Fail "the records dialog is ${WIN_W}x${WIN_H}, expected 336x161"
Ok "the records dialog \"$CAPTION\" is up, 336x161"
LetDialogTakeKeys
Key Return
Poll 3 WindowGone "$CAPTION" || Fail "Return (its button) does not close the records dialog"
Ok "its button closes it"
[[ -e $WORK/GoodTime.dat ]] && Fail "looking at the records wrote GoodTime.dat"
Ok "looking at the records writes no file"

Step "zoom 2 from Ctrl++: the same board in 2 x 2 blocks, and kept"
WaitForMain
Key F2
ExpectLayout "F2: intermediate" 16 16
LeftDrag 4 4 9 4
ExpectBoard "the board settles after a drag" BoardSettled
BoardCrop "$WORK/one.ppm"
Key ctrl+plus
ZOOM=2
ExpectLayout "Ctrl++: the intermediate window at zoom 2" 16 16
# The marker blinks: some grab shows it as it was in the picture at zoom 1.
TwiceAsLarge() {
  Grab "$MAIN" && convert "$WORK/shot.ppm" -crop "512x512+0+$(( MB + 50 ))" +repage rgb:"$WORK/two.rgb" &&
    convert "$WORK/one.ppm" -sample 200% rgb:"$WORK/one.rgb" && cmp -s "$WORK/one.rgb" "$WORK/two.rgb"
}
Poll 3 TwiceAsLarge && Ok "the board at zoom 2 is the picture at zoom 1, each pixel a 2 x 2 block" ||
  Fail "the board at zoom 2 is not the picture at zoom 1 in 2 x 2 blocks"
grep -qx 'zoom=2' "$WORK/config/porteka/porteka.conf" && Ok "the settings file holds zoom=2" ||
  Fail "the settings file does not hold zoom=2"

Step "逃げる！ ends the program"
GameMenu e
ExpectCleanExit "逃げる！"

Step "another application takes the focus from the title card"
StartGame "$GAME"
Poll 10 WindowShown Form3 || Fail "no title card on the second start"
CardHasFocus() { [[ $(xdotool getactivewindow 2>/dev/null) == "$(FindWindow Form3)" ]]; }
Poll 3 CardHasFocus || Fail "the title card does not get the focus"
xmessage -geometry +0+0 "another application" >/dev/null 2>&1 &
OTHER_PID=$!
Poll 5 WindowGone Form3 || Fail "the title card stays up when another window takes the focus"
MainBecomes 5 "ポルテカ" "no main window after the card lost the focus"
Ok "losing the focus closes the card and the main window comes up"
kill "$OTHER_PID" 2>/dev/null
wait "$OTHER_PID" 2>/dev/null
xdotool windowactivate --sync "$MAIN" 2>/dev/null
WaitForMain

Step "the close box ends the program the same way"
Key F2
ExpectLayout "F2: intermediate, at zoom 2 from the settings file" 16 16
Key alt+F4
ExpectCleanExit "Alt+F4 (the close box)"
[[ -e $WORK/GoodTime.dat ]] && Fail "a game without a win wrote GoodTime.dat"
Ok "no records file without a win"

Step "a 640x480 screen"
StopXSession
XVFB_SCREEN=640x480 StartXSession || Fail "no X server with a 640x480 screen"
StartGame "$GAME"
CardAway 1
MainBecomes 5 "ポルテカ" "no main window after the card"
# The whole frame, title bar and borders included, within the screen.
FrameOnScreen() {
  local l r t b
  ReadGeometry "$MAIN" || return 1
  read -r l r t b < <(xprop -id "$MAIN" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')
  (( WIN_X - l >= 0 && WIN_Y - t >= 0 && WIN_X + WIN_W + r <= 640 && WIN_Y + WIN_H + b <= 480 ))
}
Poll 3 FrameOnScreen || Fail "the window at start-up is not wholly on the screen"
Ok "the window comes up wholly on the screen"
ZOOM=1
ExpectLayout "zoom 2 does not fit: zoom 1" 16 16
WaitForMain
Key F3
ExpectLayout "F3: advanced" 30 16
Poll 3 FrameOnScreen || Fail "the advanced window runs off the screen: ${WIN_W}x$WIN_H at $WIN_X,$WIN_Y"
Ok "the advanced window lies wholly on the screen"

Step "a window destroyed from outside ends the program"
xdotool windowclose "$MAIN"
ExpectCleanExit "its window was destroyed"

# ---------------------------------------------------------------- a record at the end of a session
# Beginner boards played from what the screen shows: a cell that a number
# proves safe is opened, one it proves a bomb is remembered, and a covered
# cell is guessed only when nothing is proved. A lost board is dealt again.
NEIGHBOURS=()
for (( i = 0; i < 64; i++ )); do
  NEIGHBOURS[i]=""
  for d in -9 -8 -7 -1 1 7 8 9; do
    j=$(( i + d ))
    (( j >= 0 && j < 64 && ((j % 8) - (i % 8)) ** 2 <= 1 )) && NEIGHBOURS[i]+=" $j"
  done
done
declare -A BOMB=()
Deduce() {
  local changed=1 i j n mines covered
  SAFE=()
  while (( changed )); do
    changed=0
    for (( i = 0; i < 64; i++ )); do
      [[ ${CODES:i:1} == [5-9a-c] ]] || continue
      n=$(( 16#${CODES:i:1} - 4 )) mines=0 covered=()
      for j in ${NEIGHBOURS[i]}; do
        if [[ -v BOMB[$j] ]]; then (( mines++ )); elif [[ ${CODES:j:1} == 0 ]]; then covered+=("$j"); fi
      done
      (( ${#covered[@]} )) || continue
      if (( n == mines )); then
        SAFE+=("${covered[@]}")
      elif (( n - mines == ${#covered[@]} )); then
        for j in "${covered[@]}"; do BOMB[$j]=1; done
        changed=1
      fi
    done
  done
}
LOST_BOARDS=0  # boards lost on the way to a win
# One cell, then the board is read again: the win may come a few frames
# after the click, and the new-record dialog then opens over the board, where
# a further click must not land.
OpenCell() {
  local x y
  x=$(CellCentreX $(( $1 % 8 ))) y=$(CellCentreY $(( $1 / 8 )))
  xdotool mousemove "$x" "$y" mousedown 1 mousemove $(( x + 1 )) "$y" mouseup 1
}
# Where nothing is sure, the covered cell least likely to hide a bomb: next
# to a number, its bombs still to find over its covered cells; elsewhere,
# the bombs still to find over all covered cells (in percent). GUESS is one of
# the least dangerous, picked at random; false when no covered cell is left.
LeastDangerous() {
  local i j n mines covered=() free=0 least=1010 danger
  local -A risk=()
  for (( i = 0; i < 64; i++ )); do
    [[ ${CODES:i:1} == 0 && ! -v BOMB[$i] ]] && { covered+=("$i"); (( free++ )); }
  done
  (( free )) || return 1
  for (( i = 0; i < 64; i++ )); do
    [[ ${CODES:i:1} == [5-9a-c] ]] || continue
    n=$(( 16#${CODES:i:1} - 4 )) mines=0
    local near=()
    for j in ${NEIGHBOURS[i]}; do
      if [[ -v BOMB[$j] ]]; then (( mines++ )); elif [[ ${CODES:j:1} == 0 ]]; then near+=("$j"); fi
    done
    (( ${#near[@]} )) || continue
    danger=$(( 100 * (n - mines) / ${#near[@]} ))
    for j in "${near[@]}"; do (( ${risk[$j]:-0} >= danger )) || risk[$j]=$danger; done
  done
  local elsewhere=$(( 100 * (10 - ${#BOMB[@]}) / free )) best=()
  for i in "${covered[@]}"; do
    # Among equal risks a cell with fewer neighbours, a corner first: more
    # likely empty, so more likely to open a region.
    local around=(${NEIGHBOURS[i]})
    danger=$(( ${risk[$i]:-$elsewhere} * 10 + ${#around[@]} ))
    if (( danger < least )); then least=$danger best=("$i"); elif (( danger == least )); then best+=("$i"); fi
  done
  GUESS=${best[RANDOM % ${#best[@]}]}
}
WinABeginnerBoard() {
  local end=$(( $(NowMs) + $1 * 1000 )) i covered
  while (( $(NowMs) < end )); do
    WaitForMain
    Key F1
    BOMB=() LAST="" SETTLED=() AT_TIME=()
    while (( $(NowMs) < end )); do
      Poll 5 BoardSettled || break
      Won && return 0
      [[ $CODES == *[d-f]* ]] && { (( LOST_BOARDS++ )); break; }
      Deduce
      if (( ! ${#SAFE[@]} )); then
        LeastDangerous || { Poll 3 Won; return; }
        SAFE=("$GUESS")
      fi
      OpenCell "${SAFE[0]}"
    done
  done
  return 1
}

# "さくら" in code page 932, a time, then two default lines.
DEFAULT_LINE=22936f985e82c882b5222c32393937300d0a
FileHoldsTheRecord() {
  [[ $(od -An -v -tx1 "$WORK/GoodTime.dat" | tr -d ' \n') =~ ^2282b382ad82e7222c(3[0-9])+0d0a$DEFAULT_LINE$DEFAULT_LINE$ ]]
}

# Past the title card of a game just started, to a beginner board.
ToABeginnerBoard() {
  CardAway
  MainBecomes 5 "ポルテカ" "no main window after the card"
  WaitForMain
  Key F1
  ExpectLayout "beginner" 8 8
}
# The game started afresh, past its title card, at the beginner level.
StartBeginner() {
  StartGame "$GAME"
  ToABeginnerBoard
}
# A beginner board won at zoom $ZOOM, its new-record dialog up and ready for keys.
WinToTheRecordDialog() {
  WinABeginnerBoard 240 || Fail "no beginner board won in four minutes"
  Poll 5 Won || Fail "no new-record dialog after the win"
  LetDialogTakeKeys
}

# The games below are won on a screen of the usual size again.
StopXSession
StartXSession || Fail "no X server for the won games"

# The board's 3BV from the screen after a win (every covered cell a bomb):
# each empty region counts once with its border, each number no region
# reaches once more.
ScreenBoard3BV() {
  python3 - "$CODES" <<'PY'
import sys
codes, opened, clicks = sys.argv[1], set(), 0
near = lambda i: [j for j in range(64) if abs(j % 8 - i % 8) <= 1 and abs(j // 8 - i // 8) <= 1]
for i in [i for i in range(64) if codes[i] == "4"] + [i for i in range(64) if codes[i] != "0"]:
    todo, clicks = ([i], clicks + 1) if i not in opened else ([], clicks)
    while todo:
        j = todo.pop()
        todo += [k for k in near(j) if k not in opened and codes[j] == "4"]
        opened.add(j)
print(clicks)
PY
}
# One beginner figure of the statistics file, or of its last game.
Figure() { python3 -c 'import json, sys; print(eval(sys.argv[2], json.load(open(sys.argv[1]))))' \
  "$WORK/Statistics.json" "$1"; }
StatisticsShown() { WindowShown "これまでの戦績"; }

# The statistics and the runs at zoom 1, the zoom kept in the settings file
# set aside meanwhile.
ZOOM=1
mv "$WORK/config/porteka/porteka.conf" "$WORK/porteka.conf.kept" 2>/dev/null
Step "statistics after a lost and a won beginner game"
if (( CELL_ART )); then
  rm -f "$WORK"/GoodTime.dat* "$WORK"/Statistics.json*
  echo "not statistics" >"$WORK/Statistics.json"
  StartBeginner
  Key ctrl+a
  LeftDrag 0 6 7 6
  sleep 0.2
  xdotool click --repeat 2 --delay 80 1
  ExpectFace "every marked cell opened: a lost game" "$ASSETS/faces.png" 48
  LOST_BOARDS=0
  WinToTheRecordDialog
  xdotool type --delay 100 "stats"
  Key Return
  Poll 3 WindowGone "新記録！！" || Fail "Return does not close the new-record dialog"
  LAST=""
  Poll 5 BoardSettled || Fail "the won board does not settle"
  CLICKS=$(ScreenBoard3BV)
  RECORD=$(head -n 1 "$WORK/GoodTime.dat" | tr -d '\r' | cut -d, -f2)
  GameMenu t
  Poll 5 StatisticsShown || Fail "Alt+G T does not open the statistics dialog"
  LetDialogTakeKeys
  import -window "$(FindWindow "これまでの戦績")" "$WORK/statistics.png" 2>/dev/null
  Key Return
  Poll 3 WindowGone "これまでの戦績" || Fail "Return does not close the statistics dialog"
  Ok "Alt+G T shows これまでの戦績, Return closes it ($(( LOST_BOARDS )) more boards lost on the way to the win)"
  [[ $(cat "$WORK/Statistics.json.bak1") == "not statistics" ]] || Fail "the damaged statistics file was not kept"
  EXPECTED="$(( 2 + LOST_BOARDS )) 1 $(( 1 + LOST_BOARDS )) 0 1 $RECORD won $CLICKS"
  FIGURES=$(Figure '" ".join(str(v) for v in [levels["beginner"][k] for k in ["played", "won", "lost", "abandoned",
    "streak", "best_frames"]] + [last["outcome"], last["3bv"]])')
  [[ $FIGURES == "$EXPECTED" ]] || { cat "$WORK/Statistics.json"; Fail "statistics $FIGURES, expected $EXPECTED"; }
  Ok "played, won, lost, abandoned, streak, best time, last outcome, 3BV: $FIGURES; the damaged file kept as .bak1"
  GameMenu e
  ExpectCleanExit "逃げる！ after the statistics"
fi

# ---------------------------------------------------------------- a record's run watched again
WATCHING="ポルテカ - 再生中"
# The counter strip and the face as the last grab shows them.
StripAndFace() { RegionHex "$WORK/shot.ppm" "$INT_W" 24 0 "$MB"; }
EndPictureShown() { GrabBoard && [[ $CODES == "$WON_BOARD" && $(StripAndFace) == "$WON_STRIP" ]]; }
# Watches the window named $WATCHING until it shows the won board. At every
# time the counters showed in the game as well, the board must be the game's
# then; the settled pictures of the game must come in the order it made them.
WatchToTheEnd() {
  local what=$1 end=$(( $(NowMs) + 90000 )) i last=-1 seen=0 same=0 key
  MainBecomes 5 "$WATCHING" "$what: no window named $WATCHING"
  until EndPictureShown; do
    (( $(NowMs) < end )) || { ShowCodes; Fail "$what: the run never reaches the won board"; }
    [[ $CODES == *'?'* ]] && continue
    key=$(StripKey)
    if [[ -v AT_TIME[$key] && $key != "$WON_KEY" ]]; then
      [[ ${AT_TIME[$key]} == "$CODES" ]] || { ShowCodes; Fail "$what: another board than the game's at the same time"; }
      same=$(( same + 1 ))
    fi
    for (( i = 0; i < ${#SETTLED[@]}; i++ )); do
      [[ ${SETTLED[i]} == "$CODES" ]] || continue
      (( i >= last )) || { ShowCodes; Fail "$what: picture $i of the game shows after picture $last"; }
      (( i > last )) && seen=$(( seen + 1 ))
      last=$i
    done
  done
  (( seen * 2 >= ${#SETTLED[@]} )) || Fail "$what: only $seen of the game's ${#SETTLED[@]} pictures seen"
  # Both sides grab a picture every few frames, so on a busy machine a short
  # game may share only one of its times with the watching.
  (( same >= 1 )) || Fail "$what: no picture caught at a time the game showed too"
  Ok "$what: $same pictures the same as the game's at the same time; $seen of its ${#SETTLED[@]} settled pictures in order"
  Ok "$what: then the won board, the winning face and the record's time"
  sleep 1
  EndPictureShown && WindowShown "$WATCHING" || Fail "$what: the last picture does not stay"
  Ok "$what: the last picture stays, under the caption $WATCHING"
}
WatchFromTheRecords() {
  GameMenu h
  Poll 5 RecordsShown || Fail "Alt+G H does not open the records dialog"
  ReadGeometry "$(RecordsWindow)"
  LetDialogTakeKeys
  # The beginner's button, under the list.
  xdotool mousemove $(( WIN_X + 50 )) $(( WIN_Y + 144 )) click 1
}
Cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

Step "a won game keeps its run"
if (( CELL_ART )); then
  rm -f "$WORK"/GoodTime*
  SETTLED=() AT_TIME=()
  StartBeginner
  WinToTheRecordDialog
  Key Return
  Poll 5 WindowGone "新記録！！" || Fail "Return does not close the new-record dialog"
  LAST=""
  Poll 5 BoardSettled || Fail "the won board does not settle"
  WON_BOARD=$CODES WON_STRIP=$(StripAndFace) WON_KEY=$(StripKey)
  ExpectFace "the winning face" "$ASSETS/faces.png" 24
  TIME=$(head -n 1 "$WORK/GoodTime.dat" | tr -d '\r' | LC_ALL=C sed 's/.*,//')
  cmp -s "$WORK/GoodTime.dat" <(printf '"%s",%s\r\n"%s",29970\r\n"%s",29970\r\n' \
    "$(Cp932 名無士乃権兵衛)" "$TIME" "$(Cp932 登録なし)" "$(Cp932 登録なし)") ||
    { od -c "$WORK/GoodTime.dat"; Fail "GoodTime.dat is not the three record lines"; }
  RUN=$WORK/GoodTime.beginner.json
  [[ -f $RUN ]] || Fail "no run beside GoodTime.dat: $(ls "$WORK")"
  END=$("$REPLAY" "$RUN" | tail -n 1)
  [[ $END == *'"ElapsedTime":'"$TIME",* && $END == *'"GameState":1,'* && $END == *'"Face":1,'* ]] ||
    Fail "the replay tool does not end the run won in $TIME frames: ${END:0:300}"
  Ok "a record of $TIME frames in GoodTime.dat, its run beside it; the replay tool ends it won in $TIME frames"

  Step "the run watched from 記録達"
  WatchFromTheRecords
  WatchToTheEnd "記録達"
  Key z
  MainBecomes 3 "ポルテカ" "a key does not end the watching"
  ExpectBoard "then a fresh beginner board, Z having opened nothing" BoardIs 0

  Step "a key stops the run midway"
  WatchFromTheRecords
  MainBecomes 5 "$WATCHING" "no window named $WATCHING"
  sleep 0.5
  Key F3
  MainBecomes 3 "ポルテカ" "a key does not stop the run"
  ExpectLayout "F3 stops the run and does nothing else: a beginner board" 8 8
  ExpectBoard "all covered" BoardIs 0
  GameMenu e
  ExpectCleanExit "逃げる！"

  Step "porteka --watch"
  StartGame "$GAME" --watch "$RUN"
  CardAway
  WatchToTheEnd "--watch"
  Key alt+F4
  ExpectCleanExit "the close box while watching"
  echo '{"level": 0, "bombs": []}' >"$WORK/bad.json"
  "$GAME" --watch "$WORK/bad.json" >"$WORK/out.txt" 2>"$WORK/err.txt"
  STATUS=$?
  (( STATUS == 2 )) && [[ ! -s $WORK/out.txt && $(wc -l <"$WORK/err.txt") == 1 ]] ||
    Fail "--watch on a run it cannot play: status $STATUS, $(cat "$WORK/err.txt")"
  Ok "--watch on a run it cannot play: one line, status 2: $(cat "$WORK/err.txt")"
else
  echo "skip - the board cannot be read off the screen without distinct cell art"
fi
mv "$WORK/porteka.conf.kept" "$WORK/config/porteka/porteka.conf" 2>/dev/null

# A full disk under the new-record dialog (here a file size limit of 0): the
# player is told once, the record waits in memory, and it is saved when there
# is room again, at the latest when the game ends.
Step "a record typed onto a full disk waits for room"
if (( CELL_ART )) && command -v prlimit >/dev/null; then
  rm -f "$WORK"/GoodTime.dat*
  ZOOM=1
  DEFAULT_BYTES=$(sed 's/../\\x&/g' <<<"$DEFAULT_LINE")
  printf "$DEFAULT_BYTES$DEFAULT_BYTES$DEFAULT_BYTES" >"$WORK/GoodTime.dat"
  (cd "$WORK" && trap '' XFSZ && ulimit -S -f 0 &&
    exec env SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/no-config" "$GAME") >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
  ToABeginnerBoard
  WinToTheRecordDialog
  xdotool type --delay 200 "さくら"
  Key Return
  Poll 5 WindowShown "記録を保存できません" || Fail "no word of the record that could not be saved"
  [[ $(od -An -v -tx1 "$WORK/GoodTime.dat" | tr -d ' \n') == "$DEFAULT_LINE$DEFAULT_LINE$DEFAULT_LINE" ]] ||
    Fail "GoodTime.dat changed on a full disk"
  prlimit --pid "$GAME_PID" --fsize=unlimited
  LetDialogTakeKeys
  Key Return
  Poll 3 WindowGone "記録を保存できません" || Fail "the message does not close"
  kill -TERM "$GAME_PID"
  GameEnds SIGTERM
  FileHoldsTheRecord || { od -c "$WORK/GoodTime.dat"; Fail "the waiting record was not saved once there was room"; }
  Ok "told once; \"さくら\" saved when the disk had room again"
else
  echo "skip - needs distinct cell art and prlimit"
fi

# A won beginner game with a name typed into the new-record dialog, then the
# session ends under it: a logout's SIGTERM (the game closes its windows and
# exits with 0), or the display going away (last, as it ends this test's X
# server).
# The first is won with the mouse at zoom 3, set in the settings file; the
# second starts at zoom 1 from a damaged settings file.
for ENDING in SIGTERM "the display going away"; do
  Step "a typed record survives $ENDING"
  (( CELL_ART )) || { echo "skip - the board cannot be read off the screen without distinct cell art"; break; }
  rm -f "$WORK"/GoodTime.dat*
  if [[ $ENDING == SIGTERM ]]; then
    echo zoom=3 >"$WORK/config/porteka/porteka.conf"; ZOOM=3
  else
    printf 'zoom=9\n\xff\xfe' >"$WORK/config/porteka/porteka.conf"; ZOOM=1
  fi
  StartBeginner
  WinToTheRecordDialog
  Key Escape
  sleep 0.2
  Won || Fail "Escape closed the new-record dialog"
  xdotool type --delay 200 "さくら"
  sleep 0.3
  if [[ $ENDING == SIGTERM ]]; then kill -TERM "$GAME_PID"; else kill "$XVFB_PID"; fi
  GameEnds "$ENDING"
  [[ $ENDING != SIGTERM ]] || (( STATUS == 0 )) || Fail "the game ended with status $STATUS after SIGTERM"
  FileHoldsTheRecord || { od -c "$WORK/GoodTime.dat"; Fail "GoodTime.dat does not hold the typed name"; }
  [[ -z $(compgen -G "$WORK/GoodTime.dat?*") ]] || Fail "files left beside GoodTime.dat: $(ls "$WORK")"
  Ok "after $ENDING (status $STATUS) GoodTime.dat holds \"さくら\" in code page 932"
done

FAILED=0
ELAPSED=$(( $(NowMs) - T0 ))
printf 'all checks passed in %d.%d s\n' $(( ELAPSED / 1000 )) $(( ELAPSED % 1000 / 100 ))
