#!/usr/bin/env bash
# The style checks CI enforces: clang-format over src/, tests/ and fuzz/
# (any change it would make is an error), then clang-tidy over src/ with the
# checks in .clang-tidy, reading the compile commands of the sanitize build
# (configured here when it is not yet). Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build lint

mapfile -d '' sources < <(find src tests fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
clang-format --dry-run --Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files formatted"

[ -f build-san/compile_commands.json ] || cmake --preset sanitize >/dev/null
mapfile -d '' units < <(find src -name '*.cpp' -print0 | sort -z)
# One clang-tidy per file, as many at once as there are cores; xargs fails
# when any of them does.
printf '%s\0' "${units[@]}" |
    xargs -0 -n1 -P "$(nproc)" clang-tidy -p build-san --quiet 2> >(grep -v ' warnings generated\.$' >&2)
echo "clang-tidy: ${#units[@]} files clean"
