#!/usr/bin/env bash
# Runs the built program under Xvfb with a disc image as its CD device (made by
# scripts/make_test_disc.sh): Tools > CD Player shows the player, and on exit the player's
# position is in the settings file.
# Usage: cd_player_test.sh <program> <make_test_disc.sh>
set -euo pipefail

. "$(dirname "$(realpath "$0")")/x_session.sh"

session() {
  REELSMITH_CD=$work/disc/disc.cue "$program" >"$work/program.log" 2>&1 &
  local pid=$!
  local win
  win=$(wait_window '^Untitled - Reelsmith 4\.2$') || fail "no catalogue window"
  focus "$win"
  menu_item t p
  wait_window '^Reelsmith CD Player$' >/dev/null || fail "Tools > CD Player showed no player"
  focus "$win"
  menu_item f x
  wait_exit "$pid"
}

session_entry "$@"

program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/reelsmith" "$work/data"
"$2" "$work/disc" >/dev/null
# A settings file that has put the colour notice away.
printf '[ColorNotice]\nDoNotDisplay=1\n' >"$work/config/reelsmith/reelsmt.ini"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

run_x_session "$0" "$program" "$work"

ini=$work/config/reelsmith/reelsmt.ini
grep -qi '^\[CDPlayer\]' "$ini" || { cat "$ini"; fail "the player's placement was not saved"; }
echo "CD player end to end: ok"
