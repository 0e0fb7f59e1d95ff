#!/bin/bash
# Without a display to open, the game says so in one plain line and fails,
# instead of aborting inside the toolkit.
# Usage: no_display_test.sh GAME

set -u
GAME=$1
[[ -x $GAME ]] || { echo "no game at $GAME"; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/porteka-nodisplay.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILURES=0

# Runs the game with the given environment changes; it must print a line
# starting "no display:" and exit with a status other than 0, within 10 s.
Expect() {
  local what=$1
  shift
  local status
  (cd "$WORK" && timeout 10 env "$@" SDL_AUDIODRIVER=dummy "$GAME") >"$WORK/out" 2>&1
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

exit $(( FAILURES > 0 ))
