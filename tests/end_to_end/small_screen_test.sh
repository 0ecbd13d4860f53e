#!/usr/bin/env bash
# Runs the built program at twice the scale on a 1024x768 screen (a 512x384 logical one), as
# large type on a small screen gives: Tools > Cassette Insert must open a window that lies
# wholly on the screen, take an album dragged onto its song lists, and print the insert to a
# PDF file with the songs on it; then File Exit.
# Usage: small_screen_test.sh <program> <sample catalogue>
set -euo pipefail

. "$(dirname "$(realpath "$0")")/x_session.sh"

session() {
  cd "$work/cwd"
  QT_SCALE_FACTOR=2 "$program" --no-splash "my tapes.mus" >"$work/program.log" 2>&1 &
  local pid=$! win cassette
  win=$(wait_window '^my tapes\.mus - Reelsmith 4\.2$') || fail "no catalogue window titled with the file"
  focus "$win"
  menu_item t c
  cassette=$(wait_window '^Reelsmith Cassette Insert$') || fail "Tools > Cassette Insert showed no window"
  sleep 0.5
  # X reports the screen's own pixels.
  eval "$(xdotool getwindowgeometry --shell "$cassette")"
  local cw=$WIDTH ch=$HEIGHT
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + cw)) -le 1024 ] && [ $((Y + ch)) -le 768 ] ||
    fail "the cassette window (${cw}x$ch at $X,$Y) is not within the 1024x768 screen"
  # No window manager: move it to the right, off the album list's left part.
  xdotool windowmove "$cassette" $((1024 - cw)) 0
  eval "$(xdotool getwindowgeometry --shell "$win")"
  local wx=$X wy=$Y
  # Drop point: low in the cassette window, on the song lists rather than on the flaps.
  local tx=$((1024 - cw / 2)) ty=$((ch * 2 / 3))
  drag_rows_to "$wx" "$wy" "$tx" "$ty" 2 230 270 310
  print_insert_to_pdf "$cassette"
  file_exit "$win" "$pid"
}

session_entry "$@"

program=$(realpath "$1")
scratch_with_catalogue "$2"
settings_without_colour_notice "$XDG_CONFIG_HOME"
run_x_session "$0" "$program" "$work" 1024x768
[ -f "$work/insert.pdf" ] || fail "no printed insert"
echo "cassette window on a small screen end to end: ok"
