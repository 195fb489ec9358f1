#!/bin/sh
# Builds the Debian packages from a clean copy of the last commit (what
# `git archive HEAD` gives, so nothing uncommitted goes in), running the
# whole test suite on the way, then checks them with lintian, which must
# report no error and no warning. The packages land in build-deb/ (or the
# folder given).
#   scripts/build-deb.sh [OUTDIR]
set -e
cd "$(dirname "$0")/.."
top=$(pwd)
out=${1:-$top/build-deb}

scripts/deps.sh
tools="build-essential dpkg-dev debhelper lintian appstream desktop-file-utils man-db"
missing=""
for p in $tools; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git archive --format=tar --prefix=kestravale/ HEAD | tar -x -C "$work"
(cd "$work/kestravale" && dpkg-checkbuilddeps && \
    DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc -b)

echo "== lintian"
lintian --pedantic --display-info --fail-on error,warning,pedantic "$work"/kestravale_*.changes

mkdir -p "$out"
cp "$work"/*.deb "$out"/
echo "Packages in $out:"
ls "$out"
