#!/bin/sh
# Instructions per pass of each mode, counted by callgrind (valgrind): with
# SDL_Flip, without it, and SDL_Flip's own count, all from the same run.
#
#   scripts/count-passes.sh [--check] [BUILD_DIR]
#
# "ratio" is a pass without SDL_Flip divided by SDL_Flip alone: a figure that
# holds on any machine. With --check the script fails when a ratio is over
# 0.139, which is 0.4 million instructions of the game's own work against
# the 2.88 million of SDL_Flip measured on the build machine.
set -e
cd "$(dirname "$0")/.."
check=0
[ "$1" = "--check" ] && { check=1; shift; }
build="${1:-build}"
out="$(mktemp -d "${TMPDIR:-/tmp}/kv-count.XXXXXX")"
trap 'rm -rf "$out"' EXIT
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no \
    --callgrind-out-file="$out/cg" "$build/tools/count_passes" >/dev/null 2>"$out/log" || {
    cat "$out/log" >&2
    exit 1
}
for f in "$out"/cg.*; do
    echo "$(sed -n 's/^desc: Trigger: Client Request: //p' "$f") $(sed -n 's/^totals: //p' "$f")"
done | awk -v check="$check" -v per=32 -v budget=0.139 '
    { cost[$1 " " (NF == 3 ? $2 : "")] = $NF / per }
    END {
        flip = cost["flip "]
        printf "%-16s %12s %14s %8s\n", "pass", "with flip", "without flip", "ratio"
        n = split("menu help0 help1 help2 help3 playing-level1 playing-level2 playing-level3", names, " ")
        bad = 0
        for (i = 1; i <= n; i++) {
            name = names[i]; without = cost[name " without-flip"]; with = cost[name " with-flip"]
            ratio = without / flip
            printf "%-16s %12.0f %14.0f %8.3f\n", name, with, without, ratio
            if (check && ratio > budget) { bad = 1; printf "over budget: %s\n", name > "/dev/stderr" }
        }
        printf "%-16s %12.0f\n", "SDL_Flip alone", flip
        exit bad
    }'
