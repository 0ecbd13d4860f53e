#!/usr/bin/env bash
# The shared library must export the C interface and nothing C++-mangled.
set -euo pipefail
lib=$1
syms=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TDBRVW]$/ {print $3}')
mangled=$(printf '%s\n' "$syms" | grep -E '^_Z' || true)
if [ -n "$mangled" ]; then
  echo "C++ symbols exported:"; printf '%s\n' "$mangled"; exit 1
fi
for name in BigArrayAlloc BigArrayFree BAGet DbInit CleanupDb SetFileName GetDbChanged \
  GetErrorText GetAlbumCount GetArtistCount GetSongCount AddArtist AddAlbum BeginAddSong \
  AddSong FinishAddSong ResequenceArtists ResequenceAlbums ResequenceSongs DeleteAlbum \
  GETARTISTNAME GETALBUMTITLE GETSONGTITLE GetSongTime GetSongUsedOnTape SetSongUsedOnTape; do
  # A here-string, not a pipe: grep -q stops reading at the first match, and under pipefail the
  # writer's broken pipe would then count as a missing export.
  grep -qx "$name" <<<"$syms" || { echo "missing export: $name"; exit 1; }
done
echo "exports ok: $(printf '%s\n' "$syms" | wc -l) symbols"
