#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what .clang-format makes of it.
# `scripts/check-format.sh --fix` rewrites the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Formatting differs from .clang-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "Formatting: ${#files[@]} files as .clang-format says."
