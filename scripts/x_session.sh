# shellcheck shell=bash disable=SC2034
# Shared by the end-to-end tests, the program benchmarks and the screenshot
# script (sourced, not run):
# a private X server with a window manager, the game started in it, and the
# small tools to find its windows, poll for a state and read screen pixels.
#
# The caller sets WORK (a scratch directory) before StartXSession and calls
# StopXSession on every way out (a trap).

XVFB_PID=""
OPENBOX_PID=""
GAME_PID=""

NowMs() { echo $(( ${EPOCHREALTIME/./} / 1000 )); }

# Poll SECONDS COMMAND...: runs the command every 20 ms until it succeeds or
# the time is up, so nothing waits longer than it has to.
Poll() {
  local whole=${1%%.*} fraction=000
  [[ $1 == *.* ]] && fraction="${1#*.}000"
  shift
  local end=$(( $(NowMs) + whole * 1000 + 10#${fraction:0:3} ))
  while true; do
    "$@" && return 0
    (( $(NowMs) >= end )) && return 1
    sleep 0.02
  done
}

NeedTools() {
  local tool missing=()
  for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
  if (( ${#missing[@]} )); then
    echo "missing tools: ${missing[*]}" >&2
    return 1
  fi
}

OurServerIsUp() {
  kill -0 "$XVFB_PID" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1
}

WindowManagerIsUp() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Takes the first display number from 90 on that nobody holds, with a screen of
# XVFB_SCREEN (1280x1024 unless set). Two runs may race for one number: the
# loser's server exits at once and it tries the next.
StartXSession() {
  local n
  for n in $(seq 90 160); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 "${XVFB_SCREEN:-1280x1024}x24" -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    if Poll 5 OurServerIsUp; then break; fi
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  done
  if [[ -z $XVFB_PID ]]; then
    echo "could not start Xvfb on any display from :90 to :160" >&2
    return 1
  fi
  # A configuration of its own would only be the default one: keep the
  # user's out of the way so that Alt+F4 closes windows as everywhere else.
  mkdir -p "$WORK/config"
  XDG_CONFIG_HOME="$WORK/config" openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  OPENBOX_PID=$!
  if ! Poll 5 WindowManagerIsUp; then
    echo "openbox did not come up on $DISPLAY" >&2
    return 1
  fi
}

# Starts the game in WORK (its records file lands there) with sound going
# nowhere, its settings in WORK/config/porteka (never the user's own) and any
# further arguments; GAME_PID is the game's own process.
StartGame() {
  local game=$1
  (cd "$WORK" && exec env SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/config" "$game" "${@:2}") \
    >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
}

GameHasExited() {
  local stat
  stat=$(cat "/proc/$GAME_PID/stat" 2>/dev/null) || return 0
  stat=${stat##*) }
  [[ ${stat%% *} == Z ]]
}

StopXSession() {
  local pid
  for pid in "$GAME_PID" "$OPENBOX_PID" "$XVFB_PID"; do
    [[ -n $pid ]] || continue
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  GAME_PID="" OPENBOX_PID="" XVFB_PID=""
}

# The id of the one visible window of the game with exactly this name.
FindWindow() {
  xdotool search --all --onlyvisible --pid "$GAME_PID" --name "^$1\$" 2>/dev/null | head -n 1
}

WindowShown() { [[ -n $(FindWindow "$1") ]]; }
WindowGone() { [[ -z $(FindWindow "$1") ]]; }

# Visible windows of the game: more than the main window means a popup menu.
VisibleWindowCount() {
  xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | wc -l
}

# Sets WIN_X, WIN_Y (on the screen) and WIN_W, WIN_H of a window, frame left out.
ReadGeometry() {
  local info
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  WIN_X=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
  WIN_Y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
  WIN_W=$(sed -n 's/^ *Width: *//p' <<<"$info")
  WIN_H=$(sed -n 's/^ *Height: *//p' <<<"$info")
  [[ -n $WIN_W && -n $WIN_H ]]
}
