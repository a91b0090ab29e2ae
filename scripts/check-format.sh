#!/usr/bin/env bash
# Fails when a C++ file changed since BASE is not as clang-format (with the repository's
# .clang-format) would write it. Only changed files are checked, so that another clang-format
# version's view of untouched code never fails a change.
# Usage: scripts/check-format.sh [BASE]   (default: where this branch left main; without a main
#        branch, the commit before HEAD; in a clone of one commit, every file)
set -euo pipefail
cd "$(dirname "$0")/.."

base=${1:-}
if [ -z "$base" ]; then
  for candidate in main origin/main; do
    if git rev-parse -q --verify "$candidate^{commit}" >/dev/null; then
      base=$(git merge-base HEAD "$candidate")
      break
    fi
  done
fi
if [ -z "$base" ] && git rev-parse -q --verify 'HEAD~1^{commit}' >/dev/null; then
  base=HEAD~1
fi

if [ -n "$base" ]; then
  mapfile -t files < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h')
  what="changed since $(git rev-parse --short "$base")"
else
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
  what="in the repository"
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no C++ file $what"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "format: run clang-format -i on the files above" >&2
  exit 1
fi
echo "format: ${#files[@]} C++ file(s) $what as clang-format writes them"
