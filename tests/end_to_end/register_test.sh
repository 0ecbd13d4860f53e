#!/usr/bin/env bash
# "reelsmith -register" without a display: registers the catalogue file type in private XDG
# folders, changes nothing when run again, and fails with status 1 and a message when it cannot.
# Usage: register_test.sh <folder holding the reelsmith program>
set -uo pipefail

program=$(realpath "$1/reelsmith")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# register <program> <data folder> <config folder>: runs the switch, leaves stderr in $work/err.
register() {
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$2" XDG_CONFIG_HOME="$3" \
    "$1" -register 2>"$work/err"
}

# The Exec value the desktop entry rules give for a path: backslash before \ " ` $, then every
# backslash doubled, then % doubled, all in double quotes, followed by the file field code.
expected_exec() {
  local quoted
  quoted=$(printf '%s' "$1" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
  printf 'Exec="%s" %%f' "$quoted"
}

snapshot() {  # inode, modification time and checksum of each registered file
  local f
  for f in "$@"; do stat -c '%i %Y %n' "$f"; md5sum "$f"; done
}

data=$work/data
config=$work/config
package=$data/mime/packages/reelsmith.xml
entry=$data/applications/reelsmith.desktop
list=$config/mimeapps.list

register "$program" "$data" "$config" || fail "first run exited with status $?: $(cat "$work/err")"
grep -q '<mime-type type="application/x-reelsmith-catalogue">' "$package" ||
  fail "no media type in $package"
grep -q '<glob pattern="\*.mus"/>' "$package" || fail "no *.mus glob in $package"
grep -qxF "$(expected_exec "$program")" "$entry" || fail "wrong Exec line: $(grep Exec= "$entry")"
grep -qxF 'MimeType=application/x-reelsmith-catalogue;' "$entry" || fail "no MimeType in $entry"
grep -qxF 'application/x-reelsmith-catalogue=reelsmith.desktop;' "$list" ||
  fail "no default in $list"
[ -f "$data/icons/hicolor/256x256/apps/reelsmith.png" ] || fail "no icon"
if command -v update-mime-database >/dev/null; then
  grep -q 'application/x-reelsmith-catalogue:\*.mus' "$data/mime/globs2" || fail "no MIME cache"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
fi

before=$(snapshot "$package" "$entry" "$list")
register "$program" "$data" "$config" || fail "second run exited with status $?"
[ "$before" = "$(snapshot "$package" "$entry" "$list")" ] || fail "second run rewrote a file"

# The switch takes over the type from another default; other lines stay as they were.
printf '# kept\n[Default Applications]\ntext/plain=gedit.desktop;\napplication/x-reelsmith-catalogue=other.desktop;\n' >"$list"
register "$program" "$data" "$config" || fail "run over another default exited with status $?"
[ "$(cat "$list")" = $'# kept\n[Default Applications]\ntext/plain=gedit.desktop;\napplication/x-reelsmith-catalogue=reelsmith.desktop;' ] ||
  fail "mimeapps.list not as expected: $(cat "$list")"

# A program path full of characters the Exec key must escape.
odd="$work/My \$Tapes \"100%\" \\ \`x\`"
mkdir -p "$odd"
cp "$program" "$odd/reelsmith"
register "$odd/reelsmith" "$work/data2" "$work/config2" || fail "odd path exited with status $?"
grep -qxF "$(expected_exec "$odd/reelsmith")" "$work/data2/applications/reelsmith.desktop" ||
  fail "wrong Exec for an odd path: $(grep Exec= "$work/data2/applications/reelsmith.desktop")"

# Failures: status 1, one line on stderr, and no desktop entry that names a wrong program.
check_failure() {  # description, program, data folder
  register "$2" "$3" "$work/config3"
  local status=$?
  [ "$status" -eq 1 ] || fail "$1: status $status, not 1"
  [ "$(grep -c "^reelsmith: " "$work/err")" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] ||
    fail "$1: not one line on stderr: $(cat "$work/err")"
  [ ! -e "$3/applications/reelsmith.desktop" ] || fail "$1: a desktop entry was written"
}
echo "not a folder" >"$work/file"
check_failure "data folder is a file" "$program" "$work/file/data"
for name in $'new\nline' $'bad\xffbyte'; do
  mkdir -p "$work/$name"
  cp "$program" "$work/$name/reelsmith"
  check_failure "path $(printf '%q' "$name")" "$work/$name/reelsmith" "$work/data4"
done

[ "$failures" -eq 0 ] && echo "register_test: all checks passed"
exit $((failures > 0))
