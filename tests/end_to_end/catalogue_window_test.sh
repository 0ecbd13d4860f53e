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
  local y
  for y in 120 140 160; do
    xdotool mousemove $((wx + 60)) $((wy + y))
    sleep 0.2
    xdotool mousedown 1
    for step in 1 2 3 4 5 6; do
      xdotool mousemove $((wx + 60 + step * 8)) $((wy + y + step * 2))
      sleep 0.05
    done
    xdotool mousemove $((tx - 20)) $((ty - 20))
    sleep 0.2
    xdotool mousemove "$tx" "$ty"
    sleep 0.3
    xdotool mouseup 1
    sleep 0.3
  done

  focus "$cassette"
  xdotool key --clearmodifiers ctrl+p
  # Without a printer the user is told first; then Qt's print dialog, whose default is a PDF file.
  local dialog=""
  for _ in $(seq 1 100); do
    if xdotool search --onlyvisible --name '^Warning$' >/dev/null 2>&1; then
      focus "$(xdotool search --onlyvisible --name '^Warning$' | head -n 1)"
      xdotool key Return
    fi
    dialog=$(xdotool search --onlyvisible --name '^Print$' 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || fail "Print Insert showed no print dialog"
  focus "$dialog"
  xdotool key Return
  local pdf=""
  for _ in $(seq 1 200); do
    pdf=$(find "$HOME" "$work/cwd" -maxdepth 1 -name '*.pdf' 2>/dev/null | head -n 1)
    if [ -n "$pdf" ] && ! xdotool search --onlyvisible --name '^Print$' >/dev/null 2>&1 &&
       ! xdotool search --onlyvisible --name '^Reelsmith$' >/dev/null 2>&1; then
      break
    fi
    sleep 0.1
  done
  [ -n "$pdf" ] || fail "Print Insert wrote no PDF file"
  # Once the progress window has gone the job has ended and the file is complete.
  pdfinfo "$pdf" | grep -qE '^Pages: +1$' || { pdfinfo "$pdf"; fail "the insert is not one page"; }
  [ -n "$(pdftotext "$pdf" - | tr -d '[:space:]')" ] || fail "the printed insert holds no songs"
  cp "$pdf" "$work/insert.pdf"
  focus "$cassette"
  menu_item i c
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^Reelsmith Cassette Insert$' >/dev/null 2>&1 || break
    sleep 0.1
  done
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
# Inside the X server (the script runs itself there): the user's part.
if [ "${1:-}" = "--session" ]; then
  program=$2 work=$3
  session
  exit 0
fi

program=$(realpath "$1")
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data" "$work/cwd"
cp "$sample" "$work/cwd/my tapes.mus"
mkdir -p "$work/home"
# The print dialog proposes a file in the home folder: keep it in the work folder.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

xvfb-run -a -s "-screen 0 1280x800x24" "$(realpath "$0")" --session "$program" "$work" ||
  fail "the session failed"

ini=$work/config/reelsmith/reelsmt.ini
[ -f "$ini" ] || fail "no settings file"
grep -qx "AutoLoad=$work/cwd/my tapes.mus" "$ini" || { cat "$ini"; fail "last file not stored as a full path"; }
for key in PlaceShowCmd PlaceNormPosL PlaceNormPosT PlaceNormPosR PlaceNormPosB; do
  grep -q "^$key=" "$ini" || fail "placement key $key missing"
done
[ -f "$work/insert.pdf" ] || fail "no printed insert"
grep -q '^TapeLength=5400$' "$ini" || { cat "$ini"; fail "cassette settings not written"; }
echo "catalogue window end to end: ok"
