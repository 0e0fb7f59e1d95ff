#!/bin/bash
# Without a display to open, the game says so in one plain line and fails,
# instead of aborting inside the toolkit; its command line is read before,
# with a display or without. Under Xvfb: a screen the server lacks fails the
# same way, a platform plugin that is not installed falls back to X with one
# line, Qt's own options pass, and --desktop moves into the records folder.
# Usage: no_display_test.sh GAME

set -u
GAME=$1
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/x_session.sh
source "$HERE/../../scripts/x_session.sh"
[[ -x $GAME ]] || { echo "no game at $GAME"; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/porteka-nodisplay.XXXXXX")
trap 'StopXSession; rm -rf "$WORK"' EXIT
FAILURES=0
Check() { if "${@:2}"; then echo "ok - $1"; else echo "FAIL - $1"; FAILURES=$(( FAILURES + 1 )); fi; }

# Runs the game with the given environment changes, then arguments after --;
# it must print a line starting "no display:" and exit with a status other
# than 0, within 10 s.
Expect() {
  local what=$1 env=() status
  shift
  while (( $# )) && [[ $1 != -- ]]; do env+=("$1"); shift; done
  (( $# )) && shift
  (cd "$WORK" && timeout 10 env "${env[@]}" SDL_AUDIODRIVER=dummy "$GAME" "$@") >"$WORK/out" 2>&1
  status=$?
  if (( status == 0 )) || (( status == 124 )) || (( status > 128 )) || ! grep -q '^no display:' "$WORK/out"; then
    echo "FAIL - $what: status $status, output:"
    sed 's/^/    /' "$WORK/out"
    FAILURES=$(( FAILURES + 1 ))
  else
    echo "ok - $what: status $status, \"$(grep -m 1 '^no display:' "$WORK/out")\""
  fi
  if [[ -e $WORK/GoodTime.dat ]]; then
    echo "FAIL - $what: a records file was written"
    FAILURES=$(( FAILURES + 1 ))
  fi
}

# Which display problem is which, the start-up tests (tests/desktop) tell;
# here the program itself, one way to X and one to Wayland.
Expect "neither DISPLAY nor WAYLAND_DISPLAY" -u DISPLAY -u WAYLAND_DISPLAY
Expect "DISPLAY set but empty" -u WAYLAND_DISPLAY DISPLAY=
Expect "only a WAYLAND_DISPLAY that names no compositor" -u DISPLAY WAYLAND_DISPLAY=porteka-no-such-socket

# The command line is read before any display is needed, and its answer ends
# the program: help on stdout with status 0, a refusal with the usage on
# stderr and status 2 (what each option does, the start-up tests tell).
CommandLines() {  # WHERE ENVIRONMENT-CHANGES...
  local where=$1 got
  shift
  (cd "$WORK" && timeout 10 env "$@" "$GAME" --help) >"$WORK/out" 2>"$WORK/err"
  got=$?
  Check "--help $where: status 0, the usage on stdout" [ "$got$(grep -c '^Usage: porteka' "$WORK/out")" == 01 ]
  (cd "$WORK" && timeout 10 env "$@" "$GAME" --desktop '') >"$WORK/out" 2>"$WORK/err"
  got=$?
  Check "--desktop '' $where: status 2, the usage on stderr" [ "$got$(grep -c '^Usage: porteka' "$WORK/err")" == 21 ]
}
CommandLines "without a display" -u DISPLAY -u WAYLAND_DISPLAY

if ! NeedTools Xvfb openbox xdotool || ! StartXSession; then
  echo "skip - the checks under Xvfb"
  exit $(( FAILURES > 0 ))
fi
Expect "DISPLAY naming a screen the server lacks" -u WAYLAND_DISPLAY DISPLAY="$DISPLAY.7"
Expect "-display naming a screen the server lacks" -u WAYLAND_DISPLAY -- -display "$DISPLAY.7"
CommandLines "with a display" -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy

mkdir -m 700 "$WORK/run"
# Starts the game in WORK with environment changes, then arguments after --,
# and waits for its title card.
Launch() {
  local env=()
  while [[ $1 != -- ]]; do env+=("$1"); shift; done
  shift
  (cd "$WORK" && exec env "${env[@]}" XDG_RUNTIME_DIR="$WORK/run" SDL_AUDIODRIVER=dummy "$GAME" "$@") \
    >"$WORK/out" 2>&1 &
  GAME_PID=$!
  Poll 10 WindowShown Form3 || Check "a title card with ${env[*]} $*" false
}
Stop() { kill "$GAME_PID"; wait "$GAME_PID" 2>/dev/null; GAME_PID=""; }

# A platform with no plugin, asked for either way, among Qt's other options.
for asked in "QT_QPA_PLATFORM=nosuchplugin --" "-- -platform nosuchplugin -style fusion -reverse -nograb"; do
  # shellcheck disable=SC2086
  Launch -u WAYLAND_DISPLAY $asked
  Check "$asked: the game runs on X and says so in one line" \
    [ "$(grep -c . "$WORK/out")$(grep -c 'nosuchplugin; using X' "$WORK/out")" == 11 ]
  Stop
done

# The folder the game runs in | the environment and the arguments after "--".
# With --desktop, the records folder; where that cannot be made, and without
# --desktop, the directory it is started in.
STARTS=(
  "$WORK/data/porteka|-u HOME XDG_DATA_HOME=$WORK/data -- --desktop"
  "$WORK|HOME=/proc/porteka-cannot-make-this -- --desktop"
  "$WORK|HOME=$WORK/home --"
)
for row in "${STARTS[@]}"; do
  # shellcheck disable=SC2086
  Launch ${row#*|}
  Check "${row#*|}: runs in ${row%%|*}" [ "$(readlink "/proc/$GAME_PID/cwd")" == "${row%%|*}" ]
  Stop
done

exit $(( FAILURES > 0 ))
