#!/usr/bin/env bash
# Takes a picture of every window of the program on the sample catalogue, under Xvfb on a
# 1024x768 screen, at scale factors 1 and 2 with a light and a dark palette, and prints each
# window's first size against the screen. The pictures land in build/screenshots/<scale>x_<theme>/;
# the README's pictures (doc/*_window*.png) are copied from the 1x ones.
# Usage: scripts/screenshot.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")
scripts/install_dependencies.sh
cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/plain -j2 --target window_pictures ReelsmithDB >/dev/null

if [ "${SCREENSHOT_SESSION:-}" = 1 ]; then
  for scale in 1 2; do
    for theme in light dark; do
      echo "== ${scale}x $theme"
      # Each run starts as a new user: no placement stored by the run before.
      config=$(mktemp -d)
      cp -r "$XDG_CONFIG_HOME/reelsmith" "$config/"
      XDG_CONFIG_HOME=$config QT_SCALE_FACTOR=$scale timeout 120 build/plain/bin/window_pictures "$out/${scale}x_$theme" "$theme" \
        "$PWD/examples/sample.mus"
      rm -rf "$config"
    done
  done
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private settings and data folder: the program as a new user sees it once the colour notice
# has been put away (its picture is taken by itself).
mkdir -p "$work/reelsmith"
printf '[ColorNotice]\nDoNotDisplay=1\n' >"$work/reelsmith/reelsmt.ini"
XDG_CONFIG_HOME=$work XDG_DATA_HOME=$work SCREENSHOT_SESSION=1 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24" "$(realpath "$0")" "$out"
cp "$out/1x_light/catalogue_window.png" doc/catalogue_window.png
cp "$out/1x_dark/catalogue_window.png" doc/catalogue_window_dark.png
cp "$out/1x_light/cassette_window.png" doc/cassette_window.png
cp "$out/1x_dark/cassette_window.png" doc/cassette_window_dark.png
echo "saved $out and the README pictures in doc/"
