#!/bin/sh
# Installs the Debian packages the game and its tests need, if any is missing.
set -e
packages="g++ cmake make pkg-config libsdl1.2-compat-dev libopenmpt-dev zlib1g-dev libgtest-dev libbenchmark-dev libsdl2-dev"
# scripts/fuzz.sh asks for clang and its libFuzzer and sanitizer runtimes,
# scripts/valgrind.sh for valgrind.
case "$1" in
fuzz) packages="$packages clang-14 libclang-rt-14-dev" ;;
valgrind) packages="$packages valgrind" ;;
esac
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
