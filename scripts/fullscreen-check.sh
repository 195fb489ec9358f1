#!/bin/sh
# Full screen as a player gets it: the game in a virtual X display (Xvfb) of
# the given size with a window manager (openbox), Start chosen, key 1
# pressed; then a photo of the whole screen, where the picture is and how
# large, and whether every colour on the screen is one of the game's 256
# (a smoothed picture mixes its neighbours into colours of its own). Needs
# xvfb, openbox, xdotool, x11-utils and imagemagick (installed if missing).
#   scripts/fullscreen-check.sh [WIDTHxHEIGHT, default 1280x1024] [out.png]
set -e
cd "$(dirname "$0")/.."
size="${1:-1280x1024}"; out="${2:-/tmp/kestravale-fullscreen.png}"
missing=""
for p in xvfb openbox xdotool x11-utils imagemagick; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
[ -x build/kestravale ] || { echo "fullscreen-check: build the game first (./play or cmake)" >&2; exit 1; }

display=:93
Xvfb $display -screen 0 "${size}x24" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $game $wm $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
SDL_AUDIODRIVER=dummy ./build/kestravale >/dev/null 2>&1 &
game=$!
sleep 2
press() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; sleep 1; }
press Return   # the display keys act in play
press 1
sleep 1
import -window root "$out"

# The game's palette, from the BackBuffer's file: 256 entries of blue,
# green, red, unused after its 54 bytes of headers.
od -An -tu1 -j54 -N1024 -v data/small.bmp | tr -s ' ' '\n' | sed '/^$/d' |
    awk '{ v[NR % 4] = $1 } NR % 4 == 0 { printf "%d,%d,%d\n", v[3], v[2], v[1] }' | sort -u >/tmp/kv-palette.$$
convert "$out" -unique-colors txt:- | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p' | sort -u >/tmp/kv-shown.$$
colours=$(wc -l </tmp/kv-shown.$$)
foreign=$(comm -13 /tmp/kv-palette.$$ /tmp/kv-shown.$$ | wc -l)
rm -f /tmp/kv-palette.$$ /tmp/kv-shown.$$
# The picture's box: everything that is not the black of the bars.
box=$(convert "$out" -fuzz 0 -trim -format '%wx%h+%X+%Y' info: | tr -d '+' | sed 's/x/ /; s/\([0-9]\)\([+-]\)/\1 /g')
echo "screen $size: $colours colours, $foreign of them not in the game's palette; picture $(convert "$out" -trim -format '%wx%h at %X%Y' info:); photo $out"
[ "$foreign" -eq 0 ]
