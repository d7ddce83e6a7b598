#!/usr/bin/env bash
# Fails when a C or C++ source of the project strays from .clang-format.
set -euo pipefail
cd "$1"
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
((${#files[@]})) || { echo "no sources found" >&2; exit 1; }
"${CLANG_FORMAT:-clang-format}" --dry-run -Werror "${files[@]}"
echo "${#files[@]} sources formatted"
