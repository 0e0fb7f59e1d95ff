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

Expect "neither DISPLAY nor WAYLAND_DISPLAY" -u DISPLAY -u WAYLAND_DISPLAY
Expect "DISPLAY set but empty" -u WAYLAND_DISPLAY DISPLAY=
ABSENT=200
while [[ -e /tmp/.X11-unix/X$ABSENT || -e /tmp/.X$ABSENT-lock ]]; do ABSENT=$(( ABSENT + 1 )); done
Expect "DISPLAY naming a server that is not there" -u WAYLAND_DISPLAY DISPLAY=:$ABSENT
# A Wayland socket that does not exist is no display either.
Expect "only a WAYLAND_DISPLAY that names no compositor" -u DISPLAY WAYLAND_DISPLAY=porteka-no-such-socket
Expect "Wayland asked for and no compositor" -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=porteka-no-such-socket

# Arguments | exit status | stdout | the first line of stderr, which on a
# refusal the usage follows. The game must not start.
COMMAND_LINES=(
  "--help|0|^Usage: porteka \[options\].*--desktop|^$"
  "-h|0|^Usage: porteka|^$"
  "--version|0|^porteka [0-9]+\.[0-9]+$|^$"
  "-v|0|^porteka [0-9]|^$"
  "--bogus|2|^$|^porteka: Unknown option 'bogus'\.$"
  "''|2|^$|^porteka: Unexpected argument ''\.$"
  "--desktop -platform|2|^$|^porteka: Missing value after '-platform'\.$"
)
# CommandLines WHERE ENVIRONMENT-CHANGES...
CommandLines() {
  local where=$1 row args status out err got
  shift
  local env=("$@")
  for row in "${COMMAND_LINES[@]}"; do
    IFS='|' read -r args status out err <<<"$row"
    eval "set -- $args"
    (cd "$WORK" && timeout 10 env "${env[@]}" "$GAME" "$@") >"$WORK/out" 2>"$WORK/err"
    got=$?
    if (( got == status )) && [[ $(<"$WORK/out") =~ $out && $(head -n 1 "$WORK/err") =~ $err ]] &&
      { (( status == 0 )) || grep -q '^Usage: porteka' "$WORK/err"; }; then
      echo "ok - $args $where: status $got"
    else
      echo "FAIL - $args $where: status $got, stdout and stderr:"
      sed 's/^/    /' "$WORK/out" "$WORK/err"
      FAILURES=$(( FAILURES + 1 ))
    fi
  done
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
Check() { if "${@:2}"; then echo "ok - $1"; else echo "FAIL - $1"; FAILURES=$(( FAILURES + 1 )); fi; }
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
  "$WORK/home/.local/share/porteka|HOME=$WORK/home -- --desktop"
  "$WORK/data/porteka|HOME=$WORK/home XDG_DATA_HOME=$WORK/data -- --desktop"
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
