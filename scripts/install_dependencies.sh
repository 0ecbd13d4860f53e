#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
packages=(cmake g++ make clang libclang-rt-14-dev qt6-base-dev qt6-svg-dev libicu-dev libcdio-dev libcdio-utils pkg-config
  fonts-liberation libgtest-dev libbenchmark-dev python3 python3-dbfread poppler-utils
  xvfb xauth xdotool xclip x11-utils shared-mime-info desktop-file-utils lintian appstream man-db dpkg-dev file
  libtag1-dev sox flac vorbis-tools lame ffmpeg opus-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
