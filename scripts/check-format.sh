#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted by .clang-format; names the files.
# Fix with: clang-format -i $(git ls-files '*.cpp' '*.h')
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
unformatted=()
for file in "${sources[@]}"; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not formatted by .clang-format: ${unformatted[*]}" >&2
  echo "Fix with: clang-format -i \$(git ls-files '*.cpp' '*.h')" >&2
  exit 1
fi
echo "Formatting: ${#sources[@]} C++ sources follow .clang-format."
