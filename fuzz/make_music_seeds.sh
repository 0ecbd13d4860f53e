#!/usr/bin/env bash
# Writes the music tag reader's seeds into the folder named: a tiny silent file of each format
# (made with Debian's audio tools, tagged by them) and damaged versions of it (cut short, a
# header byte changed, the middle zeroed). Each seed's first byte names the format, as the fuzz
# target reads it. Made at build time so that no audio is kept in the repository.
# Usage: make_music_seeds.sh <folder>
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -n -r 8000 -c 1 -b 16 "$work/s.wav" trim 0 0.3
sox "$work/s.wav" "$work/s.aiff"
flac -s -T TITLE=Seed -T ARTIST=Fuzz -T DISCNUMBER=1/2 "$work/s.wav" -o "$work/s.flac"
oggenc -Q -t Seed -a Fuzz -l Seeds -N 3 "$work/s.wav" -o "$work/s.ogg"
opusenc --quiet --title Seed --artist Fuzz "$work/s.wav" "$work/s.opus"
lame --silent --tt Seed --ta Fuzz --tl Seeds --tn 2/9 --tv TPOS=1 "$work/s.wav" "$work/s.mp3"
ffmpeg -v error -y -i "$work/s.wav" -metadata title=Seed -c:a aac "$work/s.m4a"
ffmpeg -v error -y -i "$work/s.wav" -metadata title=Seed -c:a wmav2 "$work/s.wma"

# The same order as the fuzz target's list of endings.
i=0
for ending in mp3 flac ogg opus m4a wav aiff wma; do
  src=$work/s.$ending
  size=$(stat -c %s "$src")
  seed() {  # name, then the file's bytes on stdin
    { printf "\\x$(printf %02x $i)"; cat; } >"$out/$ending-$1"
  }
  seed whole <"$src"
  head -c $((size / 2)) "$src" | seed half
  head -c 64 "$src" | seed header
  # A byte of the header changed, and the middle of the file zeroed.
  { head -c 5 "$src"; printf '\xff'; tail -c +7 "$src"; } | seed header-byte
  { head -c $((size / 3)) "$src"; head -c $((size / 3)) /dev/zero; tail -c +$((2 * size / 3 + 1)) "$src"; } |
    seed zeroed
  i=$((i + 1))
done
