#!/bin/sh
# Seeds the fuzz corpora from the game's own data files (nothing is kept in
# the repository): scripts/fuzz-seeds.sh <corpus folder> <target>...
# Seeds already in a corpus are written again; what the fuzzer added stays.
set -e
cd "$(dirname "$0")/.."
out="$1"
shift

# n bytes of one value (octal), the keys of n passes for fuzz_level.
repeat() { i=0; while [ $i -lt "$2" ]; do printf "\\$1"; i=$((i + 1)); done; }

for t in "$@"; do
    dir="$out/$t"
    mkdir -p "$dir"
    case $t in
    fuzz_art)
        cp data/*.bmp "$dir/" ;;
    fuzz_level)
        # Each level alone, then with 32 passes of keys: the first byte also
        # picks the level's set-up (its value modulo 3).
        for n in 1 2 3; do
            lvl="data/new$n.lvl"
            cp "$lvl" "$dir/new$n"
            level=$((n - 1))
            { cat "$lvl"; printf "\\00$level"; repeat 001 31; } >"$dir/new$n-right"       # walk right
            { cat "$lvl"; printf "\\00$level"; repeat 005 31; } >"$dir/new$n-jump-right"  # jump while walking
            { cat "$lvl"; printf "\\00$level"; repeat 012 31; } >"$dir/new$n-fire-left"   # fire while walking left
        done
        head -c 1000 data/new1.lvl >"$dir/short" ;;
    fuzz_audio)
        cp data/*.wav data/*.it "$dir/" ;;
    fuzz_custom_level)
        # The three levels written as custom levels, and one cut short.
        for n in 1 2 3; do
            { printf 'kestravale level 1\nlevel %d\ntitle Level %d\nauthor The Vale crew\n' $n $n
              cat assets/levels/level$n.txt; } >"$dir/level$n"
        done
        head -c 3000 "$dir/level1" >"$dir/short" ;;
    fuzz_demo)
        cp tests/replays/*.txt "$dir/"
        for f in tests/sound/*.txt; do cp "$f" "$dir/sound-$(basename "$f")"; done ;;
    esac
done
