#!/usr/bin/env bash
# Starts the program under Xvfb on the sample catalogue and saves a picture of its window.
# Usage: scripts/screenshot.sh [output.png]   (default doc/catalogue_window.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-doc/catalogue_window.png}")
command -v import >/dev/null || {
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
}
scripts/install_dependencies.sh
cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/plain -j2 --target reelsmith ReelsmithDB >/dev/null

if [ "${SCREENSHOT_SESSION:-}" = 1 ]; then
  build/plain/bin/reelsmith "$PWD/examples/sample.mus" &
  pid=$!
  for _ in $(seq 1 100); do
    win=$(xdotool search --name 'sample\.mus - Reelsmith' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { kill "$pid"; echo "no window appeared"; exit 1; }
  sleep 1  # let the first paint finish
  import -window "$win" "$out"
  kill "$pid"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private settings and data folder: the picture shows the program as a new user sees it once
# the colour notice has been put away.
mkdir -p "$work/reelsmith"
printf '[ColorNotice]\nDoNotDisplay=1\n' >"$work/reelsmith/reelsmt.ini"
XDG_CONFIG_HOME=$work XDG_DATA_HOME=$work SCREENSHOT_SESSION=1 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$(realpath "$0")" "$out"
echo "saved $out"
