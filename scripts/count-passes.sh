#!/bin/sh
# Instructions per pass of each mode, counted by callgrind (valgrind), with
# and without SDL_Flip, and SDL_Flip's own count for comparison.
#   scripts/count-passes.sh [BUILD_DIR]
# With --check, exits 1 when a pass costs more than its budget, given as a
# fraction of SDL_Flip's own count measured in the same run.
set -e
cd "$(dirname "$0")/.."
check=0
[ "$1" = "--check" ] && { check=1; shift; }
build="${1:-build}"
out="$(mktemp -d "${TMPDIR:-/tmp}/kv-count.XXXXXX")"
trap 'rm -rf "$out"' EXIT
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy valgrind --tool=callgrind --collect-atstart=no \
    --callgrind-out-file="$out/cg" "$build/tools/count_passes" >/dev/null 2>"$out/log" || {
    cat "$out/log" >&2
    exit 1
}
for f in "$out"/cg.*; do
    name="$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")"
    total="$(sed -n 's/^totals: //p' "$f")"
    echo "$name $total"
done | sort | awk -v check="$check" -v per=32 '
    { split($0, w, " "); n = NF; cost[$1 " " (n == 3 ? $2 : "")] = $n / per }
    END {
        flip = cost["flip "]
        printf "%-16s %14s %14s %10s\n", "pass", "with flip", "without flip", "ratio"
        bad = 0
        for (k in cost) {
            split(k, p, " ")
            if (p[2] != "without-flip") continue
            name = p[1]; without = cost[k]; with = cost[name " with-flip"]
            ratio = without / flip
            printf "%-16s %14.0f %14.0f %10.3f\n", name, with, without, ratio
            if (check && ratio > 0.139) { bad = 1; print "  over budget: " name > "/dev/stderr" }
        }
        printf "%-16s %14.0f\n", "SDL_Flip alone", flip
        exit bad
    }'
