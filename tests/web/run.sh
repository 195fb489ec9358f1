#!/bin/sh
# The web version's test in a real browser. Builds the web version and its
# test build (and installs what they need), works out the desktop's figures
# with the desktop build's replay tool (the pass each recorded run leaves
# its level on, and frames along the way), then drives Debian's Chromium
# through them, the test build, and through the page players get; then the
# level editor (tests/web/editor.mjs), against the desktop's level reader;
# then runs: recorded, timed, shared and watched (tests/web/runs.mjs). The
# run links' decoder is fuzzed first, in Node.js (tests/web/link_fuzz.mjs).
#   tests/web/run.sh [desktop build folder, default build]
set -e
top="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$top"
build="${1:-build}"
[ -x "$build/tools/replay" ] || { echo "web test: no desktop build in $build (build it first)" >&2; exit 1; }

scripts/web-build.sh --test
if [ ! -f tests/web/node_modules/.package-lock.json ] ||
   [ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]; then
    npm ci --prefix tests/web --no-audit --no-fund --loglevel=error
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
replay() { SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$build/tools/replay" "$@"; }
runs=""
# Each shipped level's run, and a custom level's (its map given with --level).
for run in level1 level2 level3 more/lantern-mine; do
    script="tests/replays/$run.txt"
    map="" level=""
    case "$run" in more/*) map="assets/levels/$run.txt" level="--level $map" ;; esac
    out="$tmp/$(basename "$run")"
    pass=$(replay "$script" $level | sed -n 's/^level [0-9] completed on pass \([0-9]*\).*/\1/p')
    [ -n "$pass" ] || { echo "web test: the desktop does not complete $script" >&2; exit 1; }
    list=$(awk -v last="$pass" 'BEGIN { s = "1"; for (p = 500; p < last; p += 500) s = s "," p; print s "," last }')
    replay "$script" $level --png "$list" --out "$out" >/dev/null
    frames=$(echo "$list" | tr ',' '\n' | awk -v d="$out" '{ printf "%s\"%s\": \"%s-%s.png\"", (NR > 1 ? ", " : ""), $1, d, $1 }')
    runs="$runs${runs:+,
    }{\"script\": \"$script\", \"map\": \"$map\", \"completedPass\": $pass, \"frames\": {$frames}}"
done
# The desktop's pace in play, unthrottled, for the browser's on a slower
# processor (tests/web/pace.mjs).
cc -O2 -shared -fPIC $(pkg-config --cflags sdl) -o "$tmp/pace_probe.so" tools/bench/pace_probe.c -ldl
pace=$(KV_SECONDS=5 KV_PLAY=1 LD_PRELOAD="$tmp/pace_probe.so" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$build/kestravale" | cut -d' ' -f1)
echo "web test: the desktop plays level 1 at $pace passes a second"
cat > "$tmp/figures.json" <<JSON
{
  "desktopPace": $pace,
  "level1Frame": "$tmp/level1-1.png",
  "runs": [
    $runs
  ]
}
JSON
node tests/web/link_fuzz.mjs
node tests/web/browser_test.mjs build-web/test-site build-web/site "$tmp/figures.json"
node tests/web/editor.mjs build-web/test-site "$build"
node tests/web/runs.mjs build-web/test-site "$build" "$tmp/figures.json"
