#!/bin/sh
# Measures the game's pace in a window of an X display drawn in software
# (Xvfb, as virtual machines and remote desktops draw) against the same
# game headless (SDL's dummy video driver), in the same run: passes per
# second in the menu, in play (level 1) and in play in full screen (key 1),
# counted at the end of every pass by tools/bench/pace_probe.c, preloaded
# into the unchanged game, and the frames flipped to the display per
# second; then level 1's recorded run under --timedemo, in the window and
# headless. The window and the headless game are counted side by side,
# over the same seconds: on a machine shared with other work the pace of
# either moves by a tenth from one run to the next, and both move together.
# With more than one round the figures are averaged; the machine's load
# average is printed before and after. Needs xvfb. KV_GAME names another
# build of the game to measure (an older one, say); it runs from the top
# folder, with this folder's data.
#   scripts/window-pace.sh [seconds per measurement, default 10] [rounds, default 1]
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
seconds="${1:-10}"
rounds="${2:-1}"
command -v Xvfb >/dev/null || { echo "window-pace: Xvfb is missing (Debian package xvfb)" >&2; exit 1; }
game="${KV_GAME:-build/kestravale}"
[ -n "$KV_GAME" ] || [ -x build/kestravale ] ||
    { cmake -S . -B build >/dev/null && cmake --build build -j"$(nproc)" --target kestravale; }

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

# run window|headless [VAR=value...] COMMAND...
run() {
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
    run "$@" KV_SECONDS="$seconds" LD_PRELOAD="$tmp/pace_probe.so" "$game"
}
# both NAME [VAR=value...]: the window and headless, side by side
both() {
    name="$1"
    shift
    pace window "$@" >"$tmp/window" &
    w=$!
    pace headless "$@" >"$tmp/headless"
    wait "$w"
    echo "window-$name $(cat "$tmp/window")"
    echo "headless-$name $(cat "$tmp/headless")"
}
timedemo() {
    run "$1" "$game" --timedemo tests/replays/level1.txt 2>&1 |
        sed -n 's/.* passes in \([0-9.]*\) s.*50th percentile \([0-9.]*\) ms.*/\1 \2/p'
}

echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
r=0
while [ "$r" -lt "$rounds" ]; do
    r=$((r + 1))
    {
        both menu
        both play KV_PLAY=1
        both fullscreen KV_PLAY=1 KV_FULLSCREEN=1
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
        printf "  full screen      %8.1f  %8.1f  %14.1f%%  %8.1f\n", a["window-fullscreen"], a["headless-fullscreen"],
               100 * a["window-fullscreen"] / a["headless-fullscreen"], b["window-fullscreen"]
        printf "--timedemo of level 1: window %.2f s (median pass %.3f ms), headless %.2f s (median pass %.3f ms)\n",
               a["window-timedemo"], b["window-timedemo"], a["headless-timedemo"], b["headless-timedemo"]
    }'
