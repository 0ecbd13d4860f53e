#!/usr/bin/env bash
# Builds the program and starts it on the sample catalogue.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install_dependencies.sh
cmake -S . -B build/plain -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/plain -j2 --target reelsmith
exec build/plain/bin/reelsmith "$PWD/examples/sample.mus"
