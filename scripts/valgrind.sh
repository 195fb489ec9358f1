#!/bin/sh
# A short headless session under valgrind's memcheck: the real game (start-up,
# twenty seconds of the title menu, then an interrupt, which the game takes
# as a window close, and shut-down), then 3,000 passes of random play through
# the rig (the soak test: menu, help pages, Start, play, level skips, display
# switches). Any memcheck error, or a leak in the game's own code, fails.
#
#   scripts/valgrind.sh [seconds of menu] [passes of play]
set -e
cd "$(dirname "$0")/.."
seconds="${1:-20}"
passes="${2:-3000}"
scripts/deps.sh valgrind
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kestravale kvtests
memcheck="valgrind --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite
    --track-origins=yes --suppressions=scripts/valgrind.supp"

echo "== the game: start-up, $seconds s of the menu, shut-down"
timeout --preserve-status -s INT "$seconds" $memcheck build/kestravale
echo "== $passes passes of random play through the rig"
KV_SOAK_PASSES="$passes" $memcheck build/tests/kvtests --gtest_filter='Soak.*'
