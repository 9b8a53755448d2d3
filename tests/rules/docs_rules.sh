#!/usr/bin/env bash
# Quelvar's documentation and code speak for Quelvar: they never name another program as the one
# this one was made after.
#   docs_rules.sh SOURCE_FOLDER
set -euo pipefail
cd "$1"
word="orig""inal"
found=$(git ls-files README.md desktop src tests examples web/page Makefile CMakeLists.txt 2>/dev/null |
  xargs grep -n -i -w "$word" 2>/dev/null || true)
if [ -n "$found" ]; then
  echo "The word '$word' stands in:" >&2
  echo "$found" >&2
  exit 1
fi
echo "docs rules hold"
