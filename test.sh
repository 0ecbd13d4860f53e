#!/usr/bin/env bash
# Builds everything and runs every test: a normal build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and checks the Debian packages made from the
# normal build. Installs missing Debian packages.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install_dependencies.sh

jobs=2
export LSAN_OPTIONS="suppressions=$PWD/tests/leak_sanitizer_suppressions.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

run_build() {  # name, extra cmake arguments...
  local dir=build/$1; shift
  cmake -S . -B "$dir" -DRS_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

echo "== Normal build =="
# Installing into /usr lets this tree's Debian packages be checked as built (test label
# packaging): CPack strips what it packs, so they match the Release ones but for -O2.
run_build plain -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
run_build asan -DCMAKE_BUILD_TYPE=Debug -DRS_SANITIZE=ON -DRS_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== Fuzz targets (clang, libFuzzer) =="
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRS_FUZZ=ON \
    -DRS_BUILD_APP=OFF -DRS_BUILD_BENCH=OFF -DRS_WERROR=ON >/dev/null
  cmake --build build/fuzz -j"$jobs"
  ctest --test-dir build/fuzz --output-on-failure -j"$jobs" -L fuzz
fi
