#!/usr/bin/env bash
# Builds rpncalc and runs every test twice: in the normal build and in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz
# target for a minute (see the end).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-san -G Ninja -DRPNCALC_SANITIZE=ON
cmake --build build-san
ctest --test-dir build-san --output-on-failure -j "$jobs"

# Fuzz smoke: every libFuzzer target for a short, fixed time (FUZZ_SECONDS
# each, 60 by default; 0 skips it), built with clang, seeded from the
# transcripts and the inputs kept in fuzz/regressions, which also replay as
# tests of their own.
fuzz_seconds=${FUZZ_SECONDS:-60}
if ((fuzz_seconds > 0)); then
    if command -v clang++ >/dev/null; then
        fuzz/run.sh --time "$fuzz_seconds"
        ctest --test-dir build-fuzz/fuzz --output-on-failure
    else
        echo "clang++ not found: fuzz smoke skipped (apt-get install clang libclang-rt-dev)"
    fi
fi
