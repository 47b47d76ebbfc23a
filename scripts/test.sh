#!/usr/bin/env bash
# The second command: installs the Debian packages that are missing, then
# builds and runs every test (unit, transcript, pseudo-terminal and packaging)
# in the release build and again in the sanitize build (AddressSanitizer and
# UndefinedBehaviorSanitizer).
#
#   scripts/test.sh                     # both builds, every test
#   FUZZ_SECONDS=60 scripts/test.sh     # and then a fuzz smoke of 60 s in all
#
# The fuzz smoke builds the libFuzzer targets with clang, replays every input
# kept in fuzz/regressions and fuzzes each target for its share of
# FUZZ_SECONDS (see fuzz/run.sh for longer runs).
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-0}

tasks=(build test)
((fuzz_seconds > 0)) && tasks+=(fuzz)
scripts/deps.sh "${tasks[@]}"

for preset in release sanitize; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done

if ((fuzz_seconds > 0)); then
    fuzz/run.sh --total "$fuzz_seconds"
    ctest --preset fuzz
fi
