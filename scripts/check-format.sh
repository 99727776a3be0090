#!/usr/bin/env bash
# Fails when a C++ file in the tree is not formatted with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' |
  while read -r f; do
    [ -f "$f" ] || continue
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"
  done)
if [ -n "$bad" ]; then
  echo "Not formatted (run clang-format -i on them):" >&2
  echo "$bad" >&2
  exit 1
fi
echo "Formatting: ok"
