#!/bin/sh
# Measures the game's pace in a window of an X display drawn in software
# (Xvfb, as virtual machines and remote desktops draw) against the same
# game headless (SDL's dummy video driver), in the same run: passes per
# second in the menu and in play (level 1), counted at the end of every
# pass by tools/bench/pace_probe.c, preloaded into the unchanged game; the
# frames the window was shown per second; then level 1's recorded run under
# --timedemo, in the window and headless. With more than one round the
# window and the headless game take turns and the figures are averaged;
# the machine's load average is printed before and after. Needs xvfb.
#   scripts/window-pace.sh [seconds per measurement, default 10] [rounds, default 1]
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
seconds="${1:-10}"
rounds="${2:-1}"
command -v Xvfb >/dev/null || { echo "window-pace: Xvfb is missing (Debian package xvfb)" >&2; exit 1; }
[ -x build/kestravale ] || { cmake -S . -B build >/dev/null && cmake --build build -j"$(nproc)" --target kestravale; }

tmp=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
cc -O2 -shared -fPIC $(pkg-config --cflags sdl) -o "$tmp/pace_probe.so" tools/bench/pace_probe.c -ldl

# Xvfb picks a display number nobody uses and writes it to descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ]; do
    i=$((i + 1))
    [ "$i" -le 100 ] || { echo "window-pace: Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
display=":$(cat "$tmp/display")"

# game window|headless [VAR=value...] [-- game options]
game() {
    where="$1"
    shift
    if [ "$where" = window ]; then
        set -- DISPLAY="$display" "$@"
    else
        set -- SDL_VIDEODRIVER=dummy "$@"
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$@"
}
pace() {
    game "$@" KV_SECONDS="$seconds" LD_PRELOAD="$tmp/pace_probe.so" build/kestravale
}
timedemo() {
    game "$1" build/kestravale --timedemo tests/replays/level1.txt 2>&1 |
        sed -n 's/.* passes in \([0-9.]*\) s.*50th percentile \([0-9.]*\) ms.*/\1 \2/p'
}

echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
r=0
while [ "$r" -lt "$rounds" ]; do
    r=$((r + 1))
    {
        echo "window-menu $(pace window)"
        echo "headless-menu $(pace headless)"
        echo "window-play $(pace window KV_PLAY=1)"
        echo "headless-play $(pace headless KV_PLAY=1)"
        echo "window-timedemo $(timedemo window)"
        echo "headless-timedemo $(timedemo headless)"
    } >"$tmp/round$r.txt"
    sed "s/^/  round $r: /" "$tmp/round$r.txt"
done
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

cat "$tmp"/round*.txt | awk -v rounds="$rounds" '
    { a[$1] += $2; b[$1] += $3 }
    END {
        for (k in a) { a[k] /= rounds; b[k] /= rounds }
        printf "Passes per second    window  headless  window/headless  frames shown a second in the window\n"
        printf "  menu             %8.1f  %8.1f  %14.1f%%  %8.1f\n", a["window-menu"], a["headless-menu"],
               100 * a["window-menu"] / a["headless-menu"], b["window-menu"]
        printf "  play (level 1)   %8.1f  %8.1f  %14.1f%%  %8.1f\n", a["window-play"], a["headless-play"],
               100 * a["window-play"] / a["headless-play"], b["window-play"]
        printf "--timedemo of level 1: window %.2f s (median pass %.3f ms), headless %.2f s (median pass %.3f ms)\n",
               a["window-timedemo"], b["window-timedemo"], a["headless-timedemo"], b["headless-timedemo"]
    }'
