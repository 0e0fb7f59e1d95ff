#!/usr/bin/env bash
# Plays a few moves of a game under a virtual X server and saves a screenshot of
# the window: docs/screenshot.png by default. Needs a built game (./play or ./test).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
game=${PORTEKA_BIN:-}
for candidate in "$root/build/play/porteka" "$root/build/test/porteka"; do
  [ -z "$game" ] && [ -x "$candidate" ] && game=$candidate
done
[ -n "$game" ] || { echo "build the game first (./play or ./test)" >&2; exit 1; }
out=${1:-$root/docs/screenshot.png}

WORK=$(mktemp -d)
# shellcheck source=x_session.sh
source "$root/scripts/x_session.sh"
trap 'set +e; StopXSession; rm -rf "$WORK"' EXIT
XVFB_SCREEN=800x600 StartXSession
StartGame "$game"
Poll 10 WindowShown Form3
card=$(FindWindow Form3)
eval "$(xdotool getwindowgeometry --shell "$card")"
xdotool mousemove $((X + 64)) $((Y + 64)) click 3
Poll 5 WindowShown ポルテカ
win=$(FindWindow ポルテカ)
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
sleep 0.3
xdotool key F2
sleep 0.2

# Find the board: the interior's top-left, below the title bar and the menu bar.
eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/{print "WX="$4} /Absolute upper-left Y/{print "WY="$4} /Height/{print "WH="$2}')"
bx=$WX
by=$((WY + WH - 256))

face_is_normal() {
  import -window root -crop "24x24+$((bx + 116))+$((by - 25))" +repage "$WORK/face.png" 2>/dev/null
  [ "$(compare -metric AE "$WORK/face.png" "$root/assets/face_button.png" null: 2>&1)" = "0" ]
}

# Open cells one at a time with a short left-button drag; a bomb means a fresh
# board (Ctrl+S), so the picture shows a game in progress, not a lost one.
opened=0
for cell in "8 8" "3 12" "12 3" "4 4" "12 12" "8 2" "2 8" "13 8"; do
  set -- $cell
  xdotool mousemove $((bx + 16 * $1 + 6)) $((by + 16 * $2 + 8)) mousedown 1
  xdotool mousemove $((bx + 16 * $1 + 9)) $((by + 16 * $2 + 8)) mouseup 1
  sleep 0.5
  if face_is_normal; then
    opened=$((opened + 1))
    [ $opened -ge 4 ] && break
  else
    xdotool key ctrl+s
    opened=0
    sleep 0.2
  fi
done
# A flag and a second mark with the right button, and the marker on a cell.
xdotool mousemove $((bx + 16 * 15 + 6)) $((by + 8)) mousedown 3
xdotool mousemove $((bx + 16 * 15 + 9)) $((by + 8)) mouseup 3
xdotool mousemove $((bx + 16 * 15 + 6)) $((by + 16 * 15 + 8)) mousedown 3
xdotool mousemove $((bx + 16 * 15 + 8)) $((by + 16 * 15 + 8))
xdotool mousemove $((bx + 16 * 15 + 10)) $((by + 16 * 15 + 8)) mouseup 3
xdotool mousemove $((bx + 16 * 14 + 8)) $((by + 16 * 14 + 8)) click 1
xdotool mousemove $((bx + 300)) $((by + 100))
sleep 0.25  # the last flashes fade; the marker is on
import -window "$win" -frame "$out" 2>/dev/null || import -window "$win" "$out"
echo "$out"
