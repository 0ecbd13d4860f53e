#!/usr/bin/env bash
# Runs the built program as a user does, under Xvfb: starts with a new catalogue, chooses
# Album > Add Albums from Music Files on a folder of music files made here (a set of two discs
# in FLAC, MP3 and Ogg Vorbis, an untagged WAV file, a damaged file), adds what the preview
# shows, saves with File > Save As, exits, and reads the saved file back with the library.
# Usage: music_import_test.sh <program> <library>
set -euo pipefail

here=$(dirname "$(realpath "$0")")
. "$here/x_session.sh"

# Types a full path into the focused file dialog and accepts it; a folder dialog may first move
# into the folder typed, so Return is pressed until the dialog has gone.
answer_file_dialog() {
  local dialog=$1 path=$2
  focus "$dialog"
  xdotool key ctrl+a
  xdotool type --delay 10 "$path"
  for _ in 1 2 3; do
    xdotool key Return
    for _ in $(seq 1 30); do
      xdotool search --onlyvisible --name "$3" >/dev/null 2>&1 || return 0
      sleep 0.1
    done
  done
  fail "the dialog \"$3\" did not take $path"
}

session() {
  "$program" >"$work/program.log" 2>&1 &
  local pid=$!
  local win
  win=$(wait_window 'Reelsmith 4\.2$') || fail "no catalogue window"
  focus "$win"

  menu_item l m
  local dialog
  dialog=$(wait_window '^Add Albums from Music Files$') || fail "no folder dialog"
  answer_file_dialog "$dialog" "$work/music" '^Add Albums from Music Files$'

  local preview
  preview=$(wait_window '^Albums from Music Files$') || fail "no preview"
  focus "$preview"
  xdotool key --clearmodifiers alt+a
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name '^Albums from Music Files$' >/dev/null 2>&1 || break
    sleep 0.1
  done

  focus "$win"
  menu_item f a
  dialog=$(wait_window '^Save As$') || fail "no Save As dialog"
  answer_file_dialog "$dialog" "$work/imported.mus" '^Save As$'
  for _ in $(seq 1 100); do [ -f "$work/imported.mus" ] && break; sleep 0.1; done

  file_exit "$win" "$pid"
}

session_entry "$@"

program=$(realpath "$1")
library=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/reelsmith" "$work/data" "$work/home"
# A user who has put the colour notice away.
settings_without_colour_notice "$work/config"

# 3.5 seconds of silence: 3 whole seconds in the catalogue.
music=$work/music
mkdir -p "$music/Night Drive/CD1" "$music/Night Drive/CD2" "$music/Demos"
sox -n -r 8000 -c 1 -b 16 "$work/silence.wav" trim 0 3.5
flac -s -T TITLE=Headlights -T "ARTIST=The Motorists" -T "ALBUM=Night Drive" -T TRACKNUMBER=1 \
  -T DISCNUMBER=1 "$work/silence.wav" -o "$music/Night Drive/CD1/01 Headlights.flac"
lame --silent --tt "Exit Ramp" --ta "The Motorists" --tl "Night Drive" --tn 2 --tv TPOS=1 \
  "$work/silence.wav" "$music/Night Drive/CD1/02 Exit Ramp.mp3"
oggenc -Q -t "Dawn" -a "The Motorists" -l "Night Drive" -N 1 -c DISCNUMBER=2 \
  "$work/silence.wav" -o "$music/Night Drive/CD2/01 Dawn.ogg"
cp "$work/silence.wav" "$music/Demos/first idea.wav"
printf "not a music file %.0s" $(seq 1 300) >"$music/Demos/broken.mp3"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
run_x_session "$0" "$program" "$work"

[ -f "$work/imported.mus" ] || fail "nothing was saved"
# The interpreter's own allocations are no concern of this test under the sanitizers.
preload=$(sanitizer_preload "$library")
got=$(env ${preload:+LD_PRELOAD="$preload" ASAN_OPTIONS=detect_leaks=0} \
  python3 "$here/check_saved_albums.py" "$library" "$work/imported.mus")
expected="Demos|first idea|Unknown Artist|3
Night Drive|Headlights|The Motorists|3
Night Drive|Exit Ramp|The Motorists|3
Night Drive|Dawn|The Motorists|3"
[ "$got" = "$expected" ] || { echo "saved:"; echo "$got"; fail "the saved catalogue differs"; }
echo "music import end to end: ok"
