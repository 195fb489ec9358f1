#!/bin/sh
# Measures the web version against the desktop game on this machine: the
# size of what the browser loads, the time to the first menu frame, and the
# passes per second in the menu and in play, in Chromium (headless, with
# its page's thread at full speed and made four and six times slower, as a
# phone's processor is, with the sound it keeps up) and in the desktop game (SDL's dummy video driver, the unchanged binary, its
# passes counted by tools/bench/pace_probe.c; once as it is, once with its
# frames not shown, since the browser paints its frames apart from the
# passes, at the display's refresh). With more than one round the desktop
# and the browser take turns and the figures are averaged; the machine's
# load average is printed before and after.
#   scripts/web-measure.sh [seconds per measurement, default 10] [rounds, default 1]
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
seconds="${1:-10}"
rounds="${2:-1}"
[ -x build/kestravale ] || { cmake -S . -B build >/dev/null && cmake --build build -j"$(nproc)" --target kestravale; }
# The browser is measured on the test build, whose hooks count the frames;
# the sizes are those of the page players get.
[ -f build-web/test-site/index.html ] || scripts/web-build.sh --test >/dev/null
[ -d tests/web/node_modules/playwright-core ] || npm ci --prefix tests/web --no-audit --no-fund --loglevel=error

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
cc -O2 -shared -fPIC $(pkg-config --cflags sdl) -o "$tmp/pace_probe.so" tools/bench/pace_probe.c -ldl
desktop() {
    env "$@" KV_SECONDS="$seconds" LD_PRELOAD="$tmp/pace_probe.so" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        build/kestravale
}
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
r=0
while [ "$r" -lt "$rounds" ]; do
    r=$((r + 1))
    {
        echo "desktop-menu $(desktop)"
        echo "desktop-play $(desktop KV_PLAY=1)"
        echo "desktop-menu-bare $(desktop KV_SKIP_FLIP=1)"
        echo "desktop-play-bare $(desktop KV_PLAY=1 KV_SKIP_FLIP=1)"
        node tests/web/measure.mjs build-web/test-site "$seconds"
    } > "$tmp/round$r.txt"
    sed "s/^/  round $r: /" "$tmp/round$r.txt"
done
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "Files the browser loads (build-web/site), as they are and compressed:"
scripts/web-sizes.sh build-web/site
cat "$tmp"/round*.txt | awk -v rounds="$rounds" '
    { sum[$1] += $2 }
    END {
        for (k in sum) m[k] = sum[k] / rounds
        printf "First menu frame, in ms after opening the page (mean over %d round(s)):\n", rounds
        printf "  cache empty (median of 5 loads)      %6.0f\n", m["first-menu-frame-ms"]
        printf "  cache warm (median of 5 loads)       %6.0f\n", m["first-menu-frame-warm-ms"]
        printf "  Fast 3G, Brotli copies sent          %6.0f  (%d bytes over the network)\n", m["first-menu-frame-fast3g-ms"], m["fast3g-bytes"]
        printf "  Fast 3G, gzip copies sent            %6.0f  (%d bytes over the network)\n", m["first-menu-frame-fast3g-gzip-ms"], m["fast3g-gzip-bytes"]
        printf "  Fast 3G, files sent as they are      %6.0f  (%d bytes over the network)\n", m["first-menu-frame-fast3g-plain-ms"], m["fast3g-plain-bytes"]
        printf "%-32s %8s  %25s  %7s  %19s  %9s\n", "Passes per second", "desktop", "desktop, frames not shown", "browser", "browser/desktop (/not shown)", "sound s/s"
        n = split(" -x4 -x6", x, " ")
        split("menu play", what, " ")
        for (w = 1; w <= 2; w++)
            for (i = 0; i <= n; i++) {
                t = i ? x[i] : ""; b = m[what[w] "-passes-per-second" t]
                d = m["desktop-" what[w]]; bare = m["desktop-" what[w] "-bare"]
                label = what[w] (w == 2 ? " (level 1)" : "") (t == "" ? "" : ", CPU " substr(t, 3) "x slower")
                printf "  %-30s %8.1f  %25.1f  %7.1f  %+6.1f%% (%+6.1f%%)  %9.3f\n", label, d, bare, b,
                       (b / d - 1) * 100, (b / bare - 1) * 100, m[what[w] "-sound-per-second" t]
            }
    }'
