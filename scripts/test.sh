#!/usr/bin/env bash
# Builds rpncalc and runs every test twice: in the normal build and in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-san -G Ninja -DRPNCALC_SANITIZE=ON
cmake --build build-san
ctest --test-dir build-san --output-on-failure -j "$jobs"
