#!/bin/bash
# The game on a real Wayland compositor, Weston, with QT_QPA_PLATFORM=wayland
# and no DISPLAY. Its own protocol log (WAYLAND_DEBUG=1) shows its windows.
#
# Weston's headless backend offers no seat, so nothing can press a key or a
# button there: the title card must come up (a toplevel called Form3 whose
# surface gets a buffer committed) and SIGTERM must end the game without an
# abort. Weston's X11 backend under Xvfb has a seat that xdotool feeds through
# the X server: there a key-driven game is played.
#
# Usage: wayland_test.sh GAME ASSETS_DIR
# Exits 77 (skipped) when weston is not installed.

set -u
GAME=$1
ASSETS=$2
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/x_session.sh
source "$HERE/../../scripts/x_session.sh"
# shellcheck source=screen_pixels.sh
source "$HERE/screen_pixels.sh"
NeedTools weston || exit 77
[[ -x $GAME ]] || { echo "no game at $GAME"; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/porteka-wayland.XXXXXX")
WESTON_PIDS=()
# Weston on X hangs when its X server goes first.
Finish() {
  local pid
  for pid in "${WESTON_PIDS[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  StopXSession
  rm -rf "$WORK"
}
trap Finish EXIT
Fail() {
  echo "FAIL: $*"
  tail -n 5 "$WORK/weston.log" && grep -v '^\[' "$WORK/game.log"  # the game's own lines
  exit 1
}

# Wayland wants its runtime folder private to the user.
mkdir -m 700 "$WORK/run"
export XDG_RUNTIME_DIR=$WORK/run

StartWeston() {  # socket options...
  weston --socket="$1" --idle-time=0 "${@:2}" >>"$WORK/weston.log" 2>&1 &
  WESTON_PIDS+=($!)
  Poll 10 test -S "$XDG_RUNTIME_DIR/$1" || Fail "weston $* does not come up"
}

# Only the title card is up at first: a buffer attached and committed after the
# toplevel is called Form3 is the card's.
CardShown() {
  sed -n '/xdg_toplevel@[0-9]*\.set_title("Form3")/,$p' "$WORK/game.log" | sed -n '/\.attach(wl_buffer@/,$p' |
    grep -q 'wl_surface@[0-9]*\.commit()'
}

StartOnWayland() {  # socket
  (cd "$WORK" && exec env -u DISPLAY WAYLAND_DISPLAY="$1" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 \
    XDG_CONFIG_HOME="$WORK/config" SDL_AUDIODRIVER=dummy "$GAME") >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
  Poll 10 CardShown || Fail "no committed surface of a toplevel called Form3"
  echo "ok - on Wayland ($1) the title card Form3 has a committed buffer"
}

# The game ends within 5 s of WHAT with one of the statuses given.
EndsWith() {  # what status...
  Poll 5 GameHasExited || Fail "the game is still running 5 s after $1"
  wait "$GAME_PID"
  local status=$?
  [[ " ${*:2} " == *" $status "* ]] || Fail "$1 ended the game with status $status"
  echo "ok - $1 ends the game with status $status"
}

StartWeston porteka-headless --backend=headless-backend.so
StartOnWayland porteka-headless
kill -TERM "$GAME_PID"
# The game closes its windows as their close boxes would, and ends with 0.
EndsWith SIGTERM 0

NeedTools Xvfb openbox xdotool xwininfo import convert od || { echo "skip - no X tools for the key-driven game"; exit 0; }
StartXSession || Fail "no X server for weston's X11 backend"
# The kiosk shell centres every window on the 640 x 480 output.
StartWeston porteka-x11 --backend=x11-backend.so --shell=kiosk-shell.so --width=640 --height=480
OutputShown() { ReadGeometry "$(xdotool search --onlyvisible --classname '^weston' 2>/dev/null | head -n 1)"; }
Poll 5 OutputShown || Fail "no window of weston on X"
StartOnWayland porteka-x11
# Weston on X hands out the pointer once it enters its window from outside.
xdotool mousemove 0 0 sleep 0.3 mousemove $(( WIN_X + 320 )) $(( WIN_Y + 240 )) sleep 0.3 click 1
Poll 5 grep -q 'set_title("ポルテカ")' "$WORK/game.log" || Fail "a click on the card brings up no main window"

# The fixed-size main window tells the compositor its size.
Size() { grep -o 'set_min_size([0-9]*, [0-9]*)' "$WORK/game.log" | tail -n 1 | tr -dc '0-9 '; }
WidthIs() { [[ $(Size) == "$1 "* ]]; }
xdotool key F3
Poll 3 WidthIs 480 || Fail "F3 does not make the window 480 wide: $(Size)"
xdotool key F1
Poll 3 WidthIs 256 || Fail "F1 does not make the window 256 wide: $(Size)"
echo "ok - F3 and F1 deal an advanced and a beginner board"

# The beginner board's first cell, below the menu bar and the counter strip.
LoadCellSheet "$ASSETS/cells.png"
read -r _ HEIGHT <<<"$(Size)"
CELL_X=$(( WIN_X + (640 - 256) / 2 + 64 )) CELL_Y=$(( WIN_Y + (480 - HEIGHT) / 2 + HEIGHT - 287 + 89 ))
CellIs() { Grab root && [[ $(BoardCodes 1 1 "$CELL_X" "$CELL_Y") == [$1] ]]; }
Poll 3 CellIs 0 || Fail "the new board's first cell is not covered"
xdotool key z
Poll 3 CellIs 4-9a-f || Fail "Z does not uncover the selected first cell"
echo "ok - Z uncovers the selected cell"
# E only once the menu is up: a loaded machine may show it after the key.
MenuShown() { grep -q 'get_popup(new id xdg_popup@' "$WORK/game.log"; }
xdotool key alt+g
Poll 5 MenuShown || Fail "Alt+G opens no menu"
xdotool key e
EndsWith "Alt+G E (逃げる！)" 0
