#!/bin/sh
# Builds the fuzz targets of tests/fuzz with clang's libFuzzer (in build-fuzz/,
# under AddressSanitizer and UndefinedBehaviorSanitizer) and runs them, each
# from a corpus seeded with the game's own data files.
#
#   scripts/fuzz.sh                         every target for 60 s
#   scripts/fuzz.sh -t 600 fuzz_art         one target for 10 minutes
#   scripts/fuzz.sh -r 1000000 fuzz_level   one target for a million runs
#   scripts/fuzz.sh -j 2 -r 1000000 fuzz_audio
#                                           the same, shared by two workers
#
# With -j N, N fuzzers run side by side on the same corpus (each picks up the
# others' new inputs as it goes); each does 1/N of the runs, or runs for the
# whole time, and writes its own log (<log>.<k>).
# A finding (crash, sanitizer report, leak, time-out) is written to
# build-fuzz/findings/ and ends the script with a non-zero status; replay it
# with build-fuzz/tests/fuzz/<target> <file>. Each corpus grows in
# build-fuzz/corpus/<target>/ from one run to the next. The log of a run is
# build-fuzz/<target>.log (build-fuzz/<target>-<N>-runs.log with -r N).
set -e
cd "$(dirname "$0")/.."
top="$(pwd)"
seconds=60
runs=""
workers=1
while getopts t:r:j: opt; do
    case $opt in
    t) seconds="$OPTARG" ;;
    r) runs="$OPTARG"; seconds=0 ;;
    j) workers="$OPTARG" ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))

scripts/deps.sh fuzz
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cxx="$(command -v clang++-14 || command -v clang++)"
CXX="$cxx" cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON -DKV_SANITIZE=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzzers

targets="$*"
[ -n "$targets" ] || targets="$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')"
scripts/fuzz-seeds.sh build-fuzz/corpus $targets
mkdir -p build-fuzz/findings

# Fuzz <target> <flags>...: one fuzzer, its findings kept in build-fuzz/findings.
Fuzz()
{
    target="$1"
    shift
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
    LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        build-fuzz/tests/fuzz/"$target" "$@" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/findings/$target-" "build-fuzz/corpus/$target"
}

status=0
for t in $targets; do
    echo "== $t"
    # tests/fuzz/<target>.options: more libFuzzer flags for that target.
    options=""
    [ -f "tests/fuzz/$t.options" ] && options="$(cat "tests/fuzz/$t.options")"
    limit="-max_total_time=$seconds"
    log="build-fuzz/$t.log"
    [ -n "$runs" ] && { limit="-runs=$(( (runs + workers - 1) / workers ))"; log="build-fuzz/$t-$runs-runs.log"; }
    found=0
    if [ "$workers" -eq 1 ]; then
        Fuzz "$t" "$limit" $options >"$log" 2>&1 || found=1
        grep -E "^Done|ERROR|SUMMARY" "$log" || true
    else
        rm -f "$log".*
        pids=""
        k=1
        while [ $k -le "$workers" ]; do
            Fuzz "$t" "$limit" $options >"$log.$k" 2>&1 &
            pids="$pids $!"
            k=$((k + 1))
        done
        for p in $pids; do wait "$p" || found=1; done
        for l in "$log".*; do
            echo "$l: $(grep -E "^Done|ERROR|SUMMARY" "$l" | tr '\n' ' ')"
        done
        log="$log.*"
    fi
    if [ $found -ne 0 ]; then
        echo "$t: a finding; see $log"
        tail -40 $log
        status=1
    fi
done
exit $status
