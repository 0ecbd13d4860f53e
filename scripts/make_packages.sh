#!/usr/bin/env bash
# Builds Release into build/release (installing into /usr) and makes the Debian packages
# reelsmith, libreelsmithdb1 and libreelsmithdb-dev in build/packages.
# Usage: scripts/make_packages.sh [--check]   (--check also runs the package checks on them)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_dependencies.sh
tree=build/release
out=build/packages
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$tree" -j"$(nproc)" --target reelsmith ReelsmithDB rs_packaging_files
rm -rf "$out"
cpack --config "$tree/CPackConfig.cmake" -B "$out"
rm -rf "$out/_CPack_Packages"
ls -l "$out"/*.deb
if [ "${1:-}" = "--check" ]; then
  tests/packaging/packages_test.sh "$out" .
fi
