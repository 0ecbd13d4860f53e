#!/usr/bin/env bash
# Runs the built program under Xvfb with CD sources libcdio cannot read: REELSMITH_CD naming a
# folder, a .bin without its cue sheet, and a disc image that turns into a folder while the
# player polls with an album being entered. Each time the catalogue window appears, the program
# stays up after libcdio has logged its error, the album being entered is still there (File
# Exit asks about it) and File Exit ends the program normally.
# Usage: cd_source_test.sh <program> <make_test_disc.sh>
set -euo pipefail

. "$(dirname "$(realpath "$0")")/x_session.sh"

# Waits (at most 20 s) for the program's log to hold libcdio's message, as our handler prints it.
wait_libcdio_message() {
  for _ in $(seq 1 200); do
    grep -q "^reelsmith: libcdio: .*$1" "$work/program.log" && return 0
    sleep 0.1
  done
  fail "libcdio's message \"$1\" was not logged"
}

# One run of the program with REELSMITH_CD=$1; libcdio logs a message matching $2. With a third
# argument, the source is a good image first and becomes a folder while an album is entered.
run_with_source() {
  local source=$1 message=$2 turns=${3:-}
  REELSMITH_CD=$source "$program" >"$work/program.log" 2>&1 &
  local pid=$!
  local win
  win=$(wait_window '^Untitled - Reelsmith 4\.2$') || fail "no catalogue window with $source"
  focus "$win"
  if [ -n "$turns" ]; then
    # Album > New Album, and a title typed into the album box that has the keyboard.
    xdotool key --clearmodifiers ctrl+n
    sleep 0.3
    xdotool type --delay 20 "Kept"
    # The image's files give way to a folder of the cue sheet's name.
    rm -f "$source" "${source%.cue}.bin"
    mkdir "$source"
  fi
  wait_libcdio_message "$message"
  # The message came from our handler, which returns: the program is still there to use.
  kill -0 "$pid" 2>/dev/null || fail "the program ended after libcdio's error with $source"
  xdotool search --onlyvisible --name '^Untitled - Reelsmith 4\.2$' >/dev/null ||
    fail "the catalogue window went with $source"
  focus "$win"
  menu_item t p
  wait_window '^Reelsmith CD Player$' >/dev/null || fail "Tools > CD Player showed no player"
  focus "$win"
  menu_item f x
  if [ -n "$turns" ]; then
    # The album being entered is still being entered: leaving asks first.
    local confirm
    confirm=$(wait_window '^Confirm$') || fail "File Exit did not ask about the album being entered"
    focus "$confirm"
    xdotool key Return
  fi
  wait_exit "$pid"
}

session() {
  mkdir -p "$work/folder.cue"
  run_with_source "$work/folder.cue" "Is a directory"
  truncate -s 2352000 "$work/lonely.bin"
  run_with_source "$work/lonely.bin" "not recognized as a CUE file"
  run_with_source "$work/disc/disc.cue" "Is a directory" turns
}

session_entry "$@"

program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
"$2" "$work/disc" >/dev/null
settings_without_colour_notice "$work/config"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
run_x_session "$0" "$program" "$work"
echo "CD sources end to end: ok"
