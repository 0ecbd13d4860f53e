#!/usr/bin/env bash
# Checks the Debian packages without installing them: lintian, the AppStream metadata, the
# desktop entry and the manual pages, then the three packages unpacked into a scratch root,
# where the program starts under Xvfb on the sample catalogue and registers the file type in
# private XDG folders, and a C program built with pkg-config against the development package
# saves and loads a catalogue.
# Usage: packages_test.sh <build tree configured with prefix /usr | folder of .deb files>
#                         <source tree>
# Exits 77 (skipped) when a tool is missing or the build tree installs elsewhere than /usr.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
. "$here/../end_to_end/x_session.sh"

# Inside the X server (the script runs itself there): start, find the window, check which
# library file the running program mapped, leave by File > Exit.
session() {  # unpacked root
  local root=$1 pid win mapped
  cd "$work/cwd"
  "$program" sample.mus >"$work/program.log" 2>&1 &
  pid=$!
  win=$(wait_window '^sample\.mus - Reelsmith 4\.2$') || fail "no catalogue window for the sample"
  mapped=$(grep -o '/[^ ]*libReelsmithDB[^ ]*' "/proc/$pid/maps" | sort -u)
  [ "$mapped" = "$(realpath "$root")/usr/lib/$triplet/libReelsmithDB.so.1.0.0" ] ||
    { kill "$pid"; fail "the program mapped ${mapped:-no library}, not the unpacked one"; }
  close_colour_notice
  file_exit "$win" "$pid"
}
session_entry "$@"

input=$(realpath "$1")
source_dir=$(realpath "$2")
for tool in lintian appstreamcli desktop-file-validate dpkg-deb xvfb-run xdotool pkg-config cc \
  readelf man; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed; skipped"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, command...: runs the command, counts a failure with its output
  local what=$1; shift
  if ! "$@" >"$work/out" 2>&1; then
    echo "FAIL: $what"; cat "$work/out"; failures=$((failures + 1))
  fi
}

packages=$input
if [ -f "$input/CPackConfig.cmake" ]; then
  grep -q '^set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")' "$input/CPackConfig.cmake" ||
    { echo "the build tree does not install into /usr (-DCMAKE_INSTALL_PREFIX=/usr); skipped"; exit 77; }
  packages=$work/packages
  cpack --config "$input/CPackConfig.cmake" -B "$packages" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
fi
debs=()
for name in reelsmith libreelsmithdb1 libreelsmithdb-dev; do
  found=("$packages/${name}_"*.deb)
  [ -f "${found[0]}" ] || { echo "FAIL: no package $name in $packages"; exit 1; }
  debs+=("${found[0]}")
done

# lintian: errors fail; warnings are printed for the reader.
lintian --fail-on error "${debs[@]}" || { echo "FAIL: lintian reports errors"; failures=$((failures + 1)); }

root=$work/root
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$root"; done
export triplet
triplet=$(basename "$(dirname "$(find "$root/usr/lib" -name 'libReelsmithDB.so.1' | head -n 1)")")
libdir=$root/usr/lib/$triplet

check "appstreamcli rejects the metadata" appstreamcli validate --no-net \
  "$root/usr/share/metainfo/org.example.reelsmith.Reelsmith.metainfo.xml"
check "desktop-file-validate rejects the entry" desktop-file-validate \
  "$root/usr/share/applications/reelsmith.desktop"
check "the desktop entry does not start the installed program" \
  grep -qxF 'Exec="/usr/bin/reelsmith" %f' "$root/usr/share/applications/reelsmith.desktop"
for page in man1/reelsmith.1.gz man3/reelsmithdb.3.gz; do
  check "man warns about $page" bash -c \
    "out=\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '$root/usr/share/man/$page' 2>&1 >/dev/null); [ -z \"\$out\" ] || { echo \"\$out\"; exit 1; }"
done
# The development manual page describes each function of the header it comes with.
for fn in $(grep -o '^RSDB_API [^(]*' "$root/usr/include/reelsmithdb.h" | grep -o '[A-Za-z_]*$'); do
  zcat "$root/usr/share/man/man3/reelsmithdb.3.gz" | grep -qx ".B $fn" ||
    { echo "FAIL: reelsmithdb(3) does not describe $fn"; failures=$((failures + 1)); }
done

# What the program loads at run time, beyond what it links: the library and the SVG icon engine.
depends=$(dpkg-deb -f "${debs[0]}" Depends)
for needed in libreelsmithdb1 libqt6svg6; do
  case ", $depends," in *", $needed "*|*", $needed,"*) ;; *)
    echo "FAIL: the program's package does not depend on $needed: $depends"; failures=$((failures + 1)) ;;
  esac
done

# The library under its SONAME; the development link reaches the run-time package's file.
check "the library's SONAME is not libReelsmithDB.so.1" \
  bash -c "readelf -d '$libdir/libReelsmithDB.so.1' | grep -q 'Library soname: \[libReelsmithDB.so.1\]'"
check "the development link does not reach the library" test -f "$libdir/libReelsmithDB.so"

# -register from the unpacked program into private XDG folders, without a display.
program=$root/usr/bin/reelsmith
check "-register failed" env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$work/data" \
  XDG_CONFIG_HOME="$work/config" LD_LIBRARY_PATH="$libdir" "$program" -register
check "-register wrote no MIME package" grep -q 'application/x-reelsmith-catalogue' \
  "$work/data/mime/packages/reelsmith.xml"
check "-register wrote no desktop entry for the unpacked program" \
  grep -qF "Exec=\"$(realpath "$program")\" %f" "$work/data/applications/reelsmith.desktop"
check "-register made no default" grep -qxF 'application/x-reelsmith-catalogue=reelsmith.desktop;' \
  "$work/config/mimeapps.list"

# The program under Xvfb on the sample catalogue. Nothing is installed, so it finds the library
# through the absolute LD_LIBRARY_PATH entry, by the SONAME's file name.
mkdir -p "$work/cwd" "$work/home" "$work/session_config" "$work/session_data"
cp "$source_dir/examples/sample.mus" "$work/cwd/sample.mus"
sample_session() (
  export HOME=$work/home XDG_CONFIG_HOME=$work/session_config XDG_DATA_HOME=$work/session_data \
    LD_LIBRARY_PATH=$libdir
  run_x_session "$0" "$program" "$work" 1280x800 "$root"
)
check "the program did not run on the sample under Xvfb" sample_session

# A C program built with pkg-config against the unpacked development package. PKG_CONFIG_LIBDIR
# keeps pkg-config to the unpacked root; the prefix is moved there.
flags=$(PKG_CONFIG_LIBDIR="$libdir/pkgconfig" pkg-config --define-variable=prefix="$root/usr" \
  --cflags --libs reelsmithdb) || { echo "FAIL: pkg-config does not know reelsmithdb"; exit 1; }
case "$flags" in *"-I$root/usr/include"*"-L$libdir"*) ;; *)
  echo "FAIL: pkg-config flags do not point into the unpacked root: $flags"; exit 1 ;;
esac
# shellcheck disable=SC2086  # the flags are words
check "the C program does not build with the pkg-config flags" \
  cc -std=c11 -Wall -Wextra -Werror -o "$work/round_trip" "$here/catalogue_round_trip.c" $flags
preload=$(sanitizer_preload "$(ls "$libdir"/libReelsmithDB.so.1)")
check "the catalogue round trip failed" env LD_LIBRARY_PATH="$libdir" ${preload:+LD_PRELOAD="$preload"} \
  "$work/round_trip" "$work/round trip.mus"

if [ "$failures" -eq 0 ]; then
  echo "packages: all checks passed"
  for deb in "${debs[@]}"; do
    echo "  $(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version): installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
  done
else
  echo "packages: $failures checks failed"
fi
exit $((failures > 0))
