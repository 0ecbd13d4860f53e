#!/usr/bin/env bash
# Starts the built program under Xvfb without its splash screen, once by the "--no-splash" switch
# and once by the setting, and checks that the catalogue window comes up with the catalogue open
# and that no splash screen is ever on screen; the first time, Tools > Cassette Insert must open
# the cassette window beside the catalogue window, not over it; then File Exit.
# Usage: no_splash_test.sh <program> <sample catalogue>
set -euo pipefail

. "$(dirname "$(realpath "$0")")/x_session.sh"

# Fails when a visible window of the program is of the splash screen's type.
no_splash_on_screen() {
  local id
  for id in $(xdotool search --onlyvisible --class reelsmith 2>/dev/null); do
    if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_SPLASH; then
      fail "the splash screen is on screen"
    fi
  done
}

run_once() {
  cd "$work/cwd"
  "$program" "$@" >"$work/program.log" 2>&1 &
  local pid=$! win=""
  for _ in $(seq 1 200); do
    no_splash_on_screen
    win=$(xdotool search --onlyvisible --name '^my tapes\.mus - Reelsmith 4\.2$' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || fail "no catalogue window titled with the file"
  # The colour notice comes once the window is up.
  wait_window '^Color Notice$' >/dev/null || fail "no colour notice"
  no_splash_on_screen
  close_colour_notice
  if [ "${check_cassette:-}" = 1 ]; then
    focus "$win"
    menu_item t c
    local cassette
    cassette=$(wait_window '^Reelsmith Cassette Insert$') || fail "Tools > Cassette Insert showed no window"
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$win")"
    local wx=$X ww=$WIDTH
    eval "$(xdotool getwindowgeometry --shell "$cassette")"
    [ "$X" -ge $((wx + ww)) ] || [ $((X + WIDTH)) -le "$wx" ] ||
      fail "the cassette window ($X+$WIDTH) opened over the catalogue window ($wx+$ww)"
  fi
  file_exit "$win" "$pid"
}

session() {
  check_cassette=1 run_once --no-splash "my tapes.mus"
  # The switch is for one start: it leaves the setting alone.
  if grep -q '^ShowSplash=' "$work/config/reelsmith/reelsmt.ini"; then
    fail "the switch changed the setting"
  fi
  printf '[Options]\nShowSplash=0\n' >>"$work/config/reelsmith/reelsmt.ini"
  run_once "my tapes.mus"
}

session_entry "$@"

program=$(realpath "$1")
scratch_with_catalogue "$2"
# A screen with room for the cassette window beside the catalogue window.
run_x_session "$0" "$program" "$work" 1920x1080
echo "start without splash end to end: ok"
