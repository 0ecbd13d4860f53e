#!/usr/bin/env bash
# Builds optimised and runs every benchmark program (by hand; never part of the tests).
set -euo pipefail
cd "$(dirname "$0")"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j2
for b in build/bench/bin/*_bench; do
  [ -n "${1:-}" ] && [[ "$b" != *"$1"* ]] && continue
  echo "== $b"; "$b"
done
