#!/usr/bin/env bash
# A user's clone has nothing beside it: no tracked file may reach into a folder next to the
# project. The pattern is spelled so that this script does not match itself.
set -u
cd "$(dirname "$0")/.."
pattern='\.\.[/]shared'
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  hits=$(git grep -nIE "$pattern" -- . || true)
else
  hits=$(grep -rnIE --exclude-dir=build --exclude-dir=.git "$pattern" . || true)
fi
if [ -n "$hits" ]; then
  echo "These files read a folder beside the project, which a user's clone does not have:"
  echo "$hits"
  exit 1
fi
echo "No file reaches outside the project."
