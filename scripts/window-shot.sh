#!/bin/sh
# Starts the game in a virtual X display (Xvfb), waits a moment, and saves
# what its window shows: proof that the real window shows the doubled
# picture. Needs the Debian packages xvfb, x11-utils and imagemagick.
#   scripts/window-shot.sh out.png [seconds]
set -e
cd "$(dirname "$0")/.."
out="$1"; wait="${2:-2}"
display=:97
Xvfb $display -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $game $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display SDL_AUDIODRIVER=dummy ./build/kestravale &
game=$!
sleep "$wait"
id=$(DISPLAY=$display xwininfo -root -tree | awk '/Kestra Vale/ {print $1; exit}')
DISPLAY=$display import -window "$id" "$out"
echo "$out"
