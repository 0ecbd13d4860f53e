#!/usr/bin/env bash
# A program without its library tells why on stderr and exits with status 1.
# Usage: missing_library_test.sh <program>
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/reelsmith"  # alone: no library beside it
mkdir -p "$work/config" "$work/data"
set +e
XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen \
  LD_LIBRARY_PATH="" "$work/reelsmith" 2>"$work/stderr" >/dev/null </dev/null
status=$?
set -e
# An installed library (by its SONAME, in the installed folder or the loader's cache) is found.
if [ -e /usr/local/lib/libReelsmithDB.so.1 ] || [ -e /usr/lib/libReelsmithDB.so.1 ] ||
  /sbin/ldconfig -p 2>/dev/null | grep -q 'libReelsmithDB\.so\.1 '; then
  echo "an installed library would be found; skipped"; exit 77
fi
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, expected 1"; cat "$work/stderr"; exit 1; }
grep -q '^reelsmith: .*libReelsmithDB' "$work/stderr" ||
  { echo "FAIL: no line on stderr naming the library"; cat "$work/stderr"; exit 1; }
echo "missing library: ok"
