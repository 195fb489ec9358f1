#!/bin/sh
# The long soak: random held keys through the rig for a million passes (or
# the number given) in the AddressSanitizer + UndefinedBehaviorSanitizer
# build, build-asan/. The suite itself runs the same test for 20,000 passes.
#
#   scripts/soak.sh [passes]
set -e
cd "$(dirname "$0")/.."
passes="${1:-1000000}"
scripts/deps.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target kvtests
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
KV_SOAK_PASSES="$passes" \
    build-asan/tests/kvtests --gtest_filter='Soak.*'
