#!/usr/bin/env bash
# Runs the built program as a user does, under Xvfb: opens a copy of the sample catalogue named
# on the command line (relative, with a blank), finds the window by its caption, uses the menus
# by keyboard (the colour notice, Find, the cassette insert with an album dragged onto it and
# printed to a PDF file, then File Exit), and checks the exit status and the settings the program
# left: the last file as a full path, the window placement and the cassette settings.
# Usage: catalogue_window_test.sh <program> <sample catalogue>
set -euo pipefail

. "$(dirname "$(realpath "$0")")/x_session.sh"

# Tools > Cassette Insert, an album dragged from the album list onto the cassette window, then
# Print Insert to a PDF file (the print dialog offers a file when no printer is installed).
cassette_path() {
  local win=$1 cassette
  focus "$win"
  menu_item t c
  cassette=$(wait_window '^Reelsmith Cassette Insert$') || fail "Tools > Cassette Insert showed no window"
  # No window manager here: put the cassette window beside the album list.
  eval "$(xdotool getwindowgeometry --shell "$cassette")"
  local cw=$WIDTH ch=$HEIGHT
  xdotool windowmove "$cassette" $((1280 - cw)) 0
  eval "$(xdotool getwindowgeometry --shell "$win")"
  local wx=$X wy=$Y
  # Drop point: low in the cassette window, on the song lists rather than on the flaps.
  local tx=$((1280 - cw / 2)) ty=$((ch * 3 / 4))
  # The album list's rows start below the menu, speed bar, tab and heading; try a few rows until
  # the insert holds songs (the side lengths are not readable from outside, so try them all).
  drag_rows_to "$wx" "$wy" "$tx" "$ty" 1 120 140 160
  print_insert_to_pdf "$cassette"
  focus "$cassette"
  menu_item i c
  wait_gone '^Reelsmith Cassette Insert$'
}

session() {
  cd "$work/cwd"
  "$program" "my tapes.mus" >"$work/program.log" 2>&1 &
  local pid=$!
  local win
  # The splash screen hands over to the catalogue window after three seconds.
  xdotool search --sync --onlyvisible --class reelsmith >/dev/null
  win=$(wait_window '^my tapes\.mus - Reelsmith 4\.2$') || fail "no catalogue window titled with the file"
  close_colour_notice
  focus "$win"

  # Tools > Find..., type a title, Find Next, close the find window.
  xdotool key --clearmodifiers ctrl+f
  local find
  find=$(wait_window '^Find$') || fail "Ctrl+F opened no find window"
  focus "$find"
  xdotool type --delay 20 "Garden"
  xdotool key Return
  # The search is done when its progress window has gone again.
  sleep 0.2
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name '^Reelsmith$' >/dev/null 2>&1 || break
    sleep 0.1
  done
  xdotool key Escape

  cassette_path "$win"

  # File > Exit by keyboard: Alt+F opens the menu, X is Exit's accelerator.
  focus "$win"
  local before
  before=$(xdotool search --onlyvisible --class reelsmith 2>/dev/null | wc -l)
  xdotool key --clearmodifiers alt+f
  for _ in $(seq 1 100); do  # the menu is a window of its own once it is open
    [ "$(xdotool search --onlyvisible --class reelsmith 2>/dev/null | wc -l)" -gt "$before" ] && break
    sleep 0.1
  done
  xdotool key x
  wait_exit "$pid"
}
session_entry "$@"

program=$(realpath "$1")
scratch_with_catalogue "$2"

run_x_session "$0" "$program" "$work"

ini=$work/config/reelsmith/reelsmt.ini
[ -f "$ini" ] || fail "no settings file"
grep -qx "AutoLoad=$work/cwd/my tapes.mus" "$ini" || { cat "$ini"; fail "last file not stored as a full path"; }
for key in PlaceShowCmd PlaceNormPosL PlaceNormPosT PlaceNormPosR PlaceNormPosB; do
  grep -q "^$key=" "$ini" || fail "placement key $key missing"
done
[ -f "$work/insert.pdf" ] || fail "no printed insert"
grep -q '^TapeLength=5400$' "$ini" || { cat "$ini"; fail "cassette settings not written"; }
echo "catalogue window end to end: ok"
