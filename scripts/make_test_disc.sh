#!/usr/bin/env bash
# Writes a small audio disc image to try the CD commands without a drive: DIR/disc.cue and a
# sparse DIR/disc.bin (silent, so it takes no disk space), with disc and track titles.
#   scripts/make_test_disc.sh /tmp/cd && REELSMITH_CD=/tmp/cd/disc.cue ./run.sh
set -euo pipefail
dir="${1:-.}"
mkdir -p "$dir"
# Track lengths in frames (75 a second).
lengths=(15825 13514 18449 10125 16963)
titles=("Morning Light" "Harbour Road" "The Long Way Home" "Interlude" "Last Ferry")
msf() { printf '%02d:%02d:%02d' $(($1 / 75 / 60)) $(($1 / 75 % 60)) $(($1 % 75)); }
{
  echo 'TITLE "Test Disc"'
  echo 'PERFORMER "The Test Band"'
  echo 'FILE "disc.bin" BINARY'
  start=0
  for i in "${!lengths[@]}"; do
    printf '  TRACK %02d AUDIO\n' $((i + 1))
    echo "    TITLE \"${titles[$i]}\""
    echo "    INDEX 01 $(msf $start)"
    start=$((start + lengths[i]))
  done
} > "$dir/disc.cue"
truncate -s $((start * 2352)) "$dir/disc.bin"
echo "Wrote $dir/disc.cue ($(msf $start), ${#lengths[@]} tracks)."
