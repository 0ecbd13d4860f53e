#!/usr/bin/env bash
# Starts the program under Xvfb on the sample catalogue, adds albums from a folder of music files
# made here, and saves a picture of the preview window.
# Usage: scripts/screenshot_music_preview.sh [output.png]   (default doc/music_import_preview.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-doc/music_import_preview.png}")

if [ "${SCREENSHOT_SESSION:-}" = 1 ]; then
  . tests/end_to_end/x_session.sh
  build/plain/bin/reelsmith "$PWD/examples/sample.mus" &
  pid=$!
  win=$(wait_window 'sample\.mus - Reelsmith') || { kill "$pid"; echo "no window appeared"; exit 1; }
  xdotool windowfocus --sync "$win"
  sleep 0.5
  xdotool key --clearmodifiers alt+l
  sleep 0.5
  xdotool key m
  dialog=$(wait_window '^Add Albums from Music Files$') || { kill "$pid"; echo "no folder dialog"; exit 1; }
  xdotool windowfocus --sync "$dialog"
  xdotool key ctrl+a
  xdotool type --delay 10 "$MUSIC"
  preview=""
  for _ in $(seq 1 3); do
    xdotool key Return
    for _ in $(seq 1 50); do
      preview=$(xdotool search --onlyvisible --name '^Albums from Music Files$' 2>/dev/null | head -n 1 || true)
      [ -n "$preview" ] && break 2
      sleep 0.1
    done
  done
  [ -n "$preview" ] || { kill "$pid"; echo "no preview"; exit 1; }
  xdotool windowfocus --sync "$preview"
  # Open the last album to show its songs.
  xdotool key End Right
  sleep 1
  import -window "$preview" "$out"
  kill "$pid"
  exit 0
fi

command -v import >/dev/null || {
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
}
scripts/install_dependencies.sh
cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/plain -j2 --target reelsmith ReelsmithDB >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/reelsmith"
printf '[ColorNotice]\nDoNotDisplay=1\n' >"$work/config/reelsmith/reelsmt.ini"
music=$work/Music
mkdir -p "$music/Night Drive/CD1" "$music/Night Drive/CD2" "$music/Demos" "$music/Kino"
sox -n -r 8000 -c 1 -b 16 "$work/a.wav" trim 0 214.5
sox -n -r 8000 -c 1 -b 16 "$work/b.wav" trim 0 187.2
flac -s -T TITLE=Headlights -T "ARTIST=The Motorists" -T "ALBUM=Night Drive" -T TRACKNUMBER=1 \
  -T DISCNUMBER=1 -T DATE=1987 "$work/a.wav" -o "$music/Night Drive/CD1/01.flac"
lame --silent --tt "Exit Ramp" --ta "The Motorists" --tl "Night Drive" --tn 2 --tv TPOS=1 \
  "$work/b.wav" "$music/Night Drive/CD1/02.mp3"
oggenc -Q -t "Dawn over the Interchange" -a "The Motorists" -l "Night Drive" -N 1 \
  -c DISCNUMBER=2 "$work/a.wav" -o "$music/Night Drive/CD2/01.ogg"
oggenc -Q -t "Café at Mile 40" -a "The Motorists" -l "Night Drive" -N 2 \
  -c DISCNUMBER=2 "$work/b.wav" -o "$music/Night Drive/CD2/02.ogg"
cp "$work/a.wav" "$music/Demos/first idea.wav"
cp "$work/b.wav" "$music/Demos/second idea.wav"
oggenc -Q -t "Кукушка" -a "Кино" -l "Чёрный альбом" -N 1 "$work/a.wav" -o "$music/Kino/01.ogg"
printf "not a music file %.0s" $(seq 1 300) >"$music/Demos/broken.mp3"

XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work MUSIC=$music SCREENSHOT_SESSION=1 \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$(realpath "$0")" "$out"
echo "saved $out"
