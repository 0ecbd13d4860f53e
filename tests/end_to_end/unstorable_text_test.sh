#!/usr/bin/env bash
# Runs the built program as a user does, under Xvfb: enters a new album whose title is Greek,
# saves it and is refused (an error box, the album still being edited), types a Western European
# title instead, saves the album and the catalogue, exits, and checks the catalogue file holds
# the Western title byte for byte in Windows-1252 and no text turned into question marks.
# Usage: unstorable_text_test.sh <program> <sample catalogue>
set -euo pipefail

. "$(dirname "$(realpath "$0")")/x_session.sh"

# Waits for an error box, checks the program is still running, and closes the box.
expect_error() {
  local box
  box=$(wait_window '^Error$') || fail "$1: no error box"
  kill -0 "$pid" 2>/dev/null || fail "$1: the program ended"
  focus "$box"
  xdotool key Return
  wait_gone '^Error$'
  focus "$win"
}

# Puts text into the focused box as a paste from the clipboard: xdotool types characters outside
# the keyboard map by remapping a key for each, which a busy machine can garble.
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard -i
  xdotool key --clearmodifiers ctrl+v
  sleep 0.2
}

session() {
  cd "$work"
  "$program" "$work/albums.mus" >"$work/program.log" 2>&1 &
  pid=$!
  win=$(wait_window '^albums\.mus - Reelsmith 4\.2$') || fail "no catalogue window titled with the file"
  focus "$win"

  # New Album puts the cursor in the title; Tab goes on to the artist.
  xdotool key --clearmodifiers ctrl+n
  sleep 0.3
  paste_text "Μουσική Νύχτα"
  xdotool key Tab
  xdotool type --delay 20 "Someone"
  # Saving without songs puts the cursor on the first song's title.
  xdotool key --clearmodifiers ctrl+s
  expect_error "an album without songs"
  xdotool type --delay 20 "One"
  xdotool key Tab Tab
  xdotool type --delay 20 "3:00"
  xdotool key Tab
  xdotool key --clearmodifiers ctrl+s
  expect_error "a Greek title"
  # The cursor is back in the title, which still holds what was typed: replace it.
  xdotool key --clearmodifiers ctrl+a
  paste_text "Café Niño — €5 «ß»"
  xdotool key --clearmodifiers ctrl+s
  sleep 0.5
  xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1 && fail "the Western title was refused"

  # File > Save, then File > Exit.
  menu_item f s
  sleep 0.5
  file_exit "$win" "$pid"
}

session_entry "$@"

program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/albums.mus"
LC_ALL=C grep -qF '???' "$work/albums.mus" && fail "the sample already holds question marks"
mkdir -p "$work/data" "$work/home"
settings_without_colour_notice "$work/config"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
run_x_session "$0" "$program" "$work"

file=$work/albums.mus
[ -f "$file" ] || fail "the catalogue was not saved"
# "Café Niño — €5 «ß»" in Windows-1252.
western=$(printf 'Caf\xe9 Ni\xf1o \x97 \x805 \xab\xdf\xbb')
LC_ALL=C grep -qF "$western" "$file" || { od -c "$file" | head -40; fail "the title is not stored as typed"; }
LC_ALL=C grep -qF '???' "$file" && fail "text was stored as question marks"
LC_ALL=C grep -qF 'Someone' "$file" || fail "the new album's artist is missing"
echo "unstorable text end to end: ok"
