#!/bin/sh
# Measures the web version against the desktop game on this machine: the
# size of what the browser loads, the time to the first menu frame, and the
# passes per second in the menu and in play, in Chromium (headless) and in
# the desktop game (SDL's dummy video driver, the unchanged binary, its
# flips counted by tests/web/pass_rate.c; once as it is, once with its
# frames not shown, since the browser paints its frames apart from the
# passes, at the display's refresh).
#   scripts/web-measure.sh [seconds per measurement, default 10]
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
seconds="${1:-10}"
[ -x build/kestravale ] || { cmake -S . -B build >/dev/null && cmake --build build -j"$(nproc)" --target kestravale; }
[ -f build-web/site/index.html ] || scripts/web-build.sh >/dev/null
[ -d tests/web/node_modules/playwright-core ] || npm ci --prefix tests/web --no-audit --no-fund --loglevel=error

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
cc -O2 -shared -fPIC $(pkg-config --cflags sdl) -o "$tmp/pass_rate.so" tests/web/pass_rate.c -ldl
desktop() {
    env "$@" KV_SECONDS="$seconds" LD_PRELOAD="$tmp/pass_rate.so" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        build/kestravale
}
menu=$(desktop)
play=$(desktop KV_PLAY=1)
menubare=$(desktop KV_SKIP_FLIP=1)
playbare=$(desktop KV_PLAY=1 KV_SKIP_FLIP=1)
node tests/web/measure.mjs build-web/site "$seconds" > "$tmp/web.txt"
cat "$tmp/web.txt"
webmenu=$(awk '$1 == "menu-passes-per-second" { print $2 }' "$tmp/web.txt")
webplay=$(awk '$1 == "play-passes-per-second" { print $2 }' "$tmp/web.txt")

echo "Files the browser loads (build-web/site):"
ls -l build-web/site | awk 'NR > 1 { printf "  %-18s %9d bytes\n", $9, $5; t += $5 } END { printf "  %-18s %9d bytes (%.2f MB)\n", "in all", t, t / 1048576 }'
awk -v dm="$menu" -v dp="$play" -v bm="$menubare" -v bp="$playbare" -v wm="$webmenu" -v wp="$webplay" 'BEGIN {
    printf "Passes per second   desktop  desktop, frames not shown  browser  browser/desktop (/not shown)\n"
    printf "  menu             %8.1f  %25.1f  %7.1f  %+.1f%% (%+.1f%%)\n", dm, bm, wm, (wm / dm - 1) * 100, (wm / bm - 1) * 100
    printf "  play (level 1)   %8.1f  %25.1f  %7.1f  %+.1f%% (%+.1f%%)\n", dp, bp, wp, (wp / dp - 1) * 100, (wp / bp - 1) * 100
}'
