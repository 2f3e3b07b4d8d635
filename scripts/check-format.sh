#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the repository's .clang-format, naming the files.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find game platform updater tools tests bench installer -name '*.cpp' -o -name '*.h')
fi
mapfile -t bad < <(clang-format --dry-run -Werror "${files[@]}" 2>&1 | grep -oE '^[^ :]+\.(cpp|h):[0-9]+:[0-9]+: error' | cut -d: -f1 | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  echo "not formatted (run clang-format -i on them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "${#files[@]} files formatted"
