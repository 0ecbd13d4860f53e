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
  local y
  for y in 230 270 310; do
    xdotool mousemove $((wx + 60)) $((wy + y))
    sleep 0.2
    xdotool mousedown 1
    for step in 1 2 3 4 5 6; do
      xdotool mousemove $((wx + 60 + step * 16)) $((wy + y + step * 4))
      sleep 0.05
    done
    xdotool mousemove $((tx - 40)) $((ty - 40))
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
  pdfinfo "$pdf" | grep -qE '^Pages: +1$' || { pdfinfo "$pdf"; fail "the insert is not one page"; }
  [ -n "$(pdftotext "$pdf" - | tr -d '[:space:]')" ] || fail "the printed insert holds no songs"
  cp "$pdf" "$work/insert.pdf"
  file_exit "$win" "$pid"
}

session_entry "$@"

program=$(realpath "$1")
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data" "$work/cwd" "$work/home"
cp "$sample" "$work/cwd/my tapes.mus"
# The print dialog proposes a file in the home folder: keep it in the work folder.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
settings_without_colour_notice "$XDG_CONFIG_HOME"
run_x_session "$0" "$program" "$work" 1024x768
[ -f "$work/insert.pdf" ] || fail "no printed insert"
echo "cassette window on a small screen end to end: ok"
