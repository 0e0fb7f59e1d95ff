#!/bin/bash
# Figures of the whole program under a private Xvfb with openbox:
#   - start-up: from exec to the title card mapped (10 runs, median), and from
#     the click on the card to the main window mapped;
#   - peak resident memory of an advanced game after sweeping the whole board
#     with the left button held (openings and chains of explosions);
#   - processor time of a running advanced game over 20 s, at zoom 1 and at
#     zoom 2.
# Builds nothing. Usage: run.sh [path/to/porteka]   (default build/test/porteka)

set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
GAME=${1:-$ROOT/build/test/porteka}
[[ -x $GAME ]] || { echo "no game at $GAME: build the porteka target or pass its path" >&2; exit 1; }
GAME=$(cd "$(dirname "$GAME")" && pwd)/$(basename "$GAME")

# shellcheck source=../../scripts/x_session.sh
source "$ROOT/scripts/x_session.sh"
NeedTools Xvfb openbox xdotool xwininfo xprop || exit 1

RUNS=10
CPU_SECONDS=20
TARGET_CARD_MS=300
TARGET_MEMORY_MB=80
TARGET_CPU_PERCENT=2

WORK=$(mktemp -d "${TMPDIR:-/tmp}/porteka-bench.XXXXXX")
trap 'StopXSession; rm -rf "$WORK"' EXIT
trap 'exit 2' INT TERM

NowUs() { echo "${EPOCHREALTIME/./}"; }
Median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
Verdict() { if awk -v v="$1" -v t="$2" 'BEGIN { exit !(v < t) }'; then echo "meets the target of $2 $3"; else echo "MISSES the target of $2 $3"; fi; }

# Waits, checking as often as it can, for a window of the game; prints the
# moment it was seen in microseconds.
SeenAt() {
  local name=$1 limit=$(( $(NowUs) + 10000000 ))
  while [[ -z $(FindWindow "$name") ]]; do
    (( $(NowUs) < limit )) || { echo "no window $name within 10 s" >&2; return 1; }
  done
  NowUs
}

EndGame() {
  kill "$GAME_PID" 2>/dev/null
  wait "$GAME_PID" 2>/dev/null
  GAME_PID=""
}

# Processor ticks (user + system) a process has used so far.
Ticks() {
  local stat
  stat=$(cat "/proc/$1/stat") || return 1
  stat=${stat##*) }
  read -r -a fields <<<"$stat"
  echo $(( fields[11] + fields[12] ))
}

StartXSession || exit 1
echo "game: $GAME"
echo "display: $DISPLAY (Xvfb 1280x1024x24, openbox)"
echo

# ---------------------------------------------------------------- start-up
card=() main=()
for (( run = 1; run <= RUNS; run++ )); do
  start=$(NowUs)
  StartGame "$GAME"
  seen=$(SeenAt Form3) || exit 1
  card+=( $(( (seen - start) / 1000 )) )
  # The card's first paint may trail its mapping a little: let it settle so
  # the click lands on a card that takes it.
  sleep 0.2
  CARD=$(FindWindow Form3)
  ReadGeometry "$CARD"
  xdotool mousemove $(( WIN_X + 64 )) $(( WIN_Y + 64 ))
  # The card goes at the press; xdotool's click would add its own delay
  # before the press is even sent.
  click=$(NowUs)
  xdotool mousedown 3
  seen=$(SeenAt "ポルテカ") || exit 1
  main+=( $(( (seen - click) / 1000 )) )
  xdotool mouseup 3
  EndGame
done
CARD_MEDIAN=$(printf '%s\n' "${card[@]}" | Median)
MAIN_MEDIAN=$(printf '%s\n' "${main[@]}" | Median)
echo "start-up to the title card (exec -> Form3 mapped), $RUNS runs:"
echo "    median $CARD_MEDIAN ms   (runs: ${card[*]} ms)"
echo "    $(Verdict "$CARD_MEDIAN" "$TARGET_CARD_MS" ms)"
echo "title card pressed -> main window mapped, $RUNS runs:"
echo "    median $MAIN_MEDIAN ms   (runs: ${main[*]} ms)"
echo

# ---------------------------------------------------------------- a game
HZ=$(getconf CLK_TCK)
# Sets GAME_CPU and XVFB_CPU: percent of one core used over the given seconds.
MeasureProcessor() {
  local game0 xvfb0 t0 game1 xvfb1 t1
  game0=$(Ticks "$GAME_PID") xvfb0=$(Ticks "$XVFB_PID") t0=$(NowUs)
  sleep "$1"
  game1=$(Ticks "$GAME_PID") xvfb1=$(Ticks "$XVFB_PID") t1=$(NowUs)
  GAME_CPU=$(awk -v t=$(( game1 - game0 )) -v hz="$HZ" -v us=$(( t1 - t0 )) 'BEGIN { printf "%.2f", 100 * t / hz / (us / 1e6) }')
  XVFB_CPU=$(awk -v t=$(( xvfb1 - xvfb0 )) -v hz="$HZ" -v us=$(( t1 - t0 )) 'BEGIN { printf "%.2f", 100 * t / hz / (us / 1e6) }')
}

StartGame "$GAME"
SeenAt Form3 >/dev/null || exit 1
sleep 0.2
ReadGeometry "$(FindWindow Form3)"
xdotool mousemove $(( WIN_X + 64 )) $(( WIN_Y + 64 )) click 3
SeenAt "ポルテカ" >/dev/null || exit 1
MAIN=$(FindWindow "ポルテカ")
xdotool windowactivate --sync "$MAIN" 2>/dev/null
sleep 0.5

# For comparison: the start-up screen, where every frame redraws the board
# but no clock runs and no counters are drawn.
MeasureProcessor 10
echo "processor time over 10 s before any game (board frames only):"
echo "    game $GAME_CPU% of one core   (X server $XVFB_CPU%)"
echo

xdotool key F3
sleep 0.5
ReadGeometry "$MAIN"
# The interior is the window less its menu bar; the board is its lowest 256 rows.
BOARD_X=$WIN_X
BOARD_Y=$(( WIN_Y + WIN_H - 256 ))

# ---------------------------------------------------------------- memory
# Every row of the advanced board swept with the left button held: every safe
# cell opens with its flash and every bomb blows up, so both effect pools fill.
args=()
for (( row = 0; row < 16; row++ )); do
  y=$(( BOARD_Y + 16 * row + 8 ))
  for (( x = 4; x < 480; x += 8 )); do args+=(mousemove $(( BOARD_X + x )) "$y" sleep 0.004); done
done
xdotool mousemove $(( BOARD_X + 4 )) $(( BOARD_Y + 8 )) mousedown 1 "${args[@]}" mouseup 1
sleep 1.5
HWM=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$GAME_PID/status")
RSS=$(awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$GAME_PID/status")
echo "peak memory of an advanced game after sweeping the whole board:"
echo "    VmHWM $HWM MB   (VmRSS now $RSS MB)"
echo "    $(Verdict "$HWM" "$TARGET_MEMORY_MB" MB)"
echo

# ---------------------------------------------------------------- processor
# A fresh advanced game, its clock started by one move over the board, left
# running: a frame every 34 ms with the board and the counters redrawn. Then
# the same at zoom 2 (Ctrl+=), four times the pixels on the screen.
for ZOOM in 1 2; do
  (( ZOOM == 1 )) || xdotool key ctrl+equal
  xdotool key F3
  sleep 0.5
  ReadGeometry "$MAIN"
  BOARD_X=$WIN_X BOARD_Y=$(( WIN_Y + WIN_H - 256 * ZOOM ))
  xdotool mousemove $(( BOARD_X + 100 )) $(( BOARD_Y + 100 )) sleep 0.1 \
    mousemove $(( BOARD_X + 101 )) $(( BOARD_Y + 100 ))
  sleep 0.5
  MeasureProcessor "$CPU_SECONDS"
  echo "processor time over ${CPU_SECONDS} s of a running advanced game at zoom $ZOOM:"
  echo "    game $GAME_CPU% of one core   (X server $XVFB_CPU%)"
  echo "    $(Verdict "$GAME_CPU" "$TARGET_CPU_PERCENT" "% of one core for the game")"
done
