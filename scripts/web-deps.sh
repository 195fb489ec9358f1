#!/bin/sh
# Installs what the web version and its browser test need, if anything is
# missing: Debian's emscripten (with its acorn for Node.js), Chromium for the
# test, dpkg-dev for `apt-get source`, brotli for the site's compressed
# copies, Node.js and npm. Also makes sure apt knows where Debian's source
# packages are, so that libopenmpt's source can be fetched: a deb-src entry
# that copies the machine's own Debian entry.
set -e
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
apt_install() {
    echo "Installing:$*"
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 \
        install -y -qq --no-install-recommends "$@"
}

missing=""
for p in emscripten node-acorn chromium dpkg-dev brotli; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
command -v node >/dev/null 2>&1 || missing="$missing nodejs"
command -v npm >/dev/null 2>&1 || missing="$missing npm"
[ -z "$missing" ] || apt_install $missing

# A deb-src entry beside the machine's Debian entry, with the same archive,
# suites and components, unless apt already has one.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    src=/etc/apt/sources.list.d/debian.sources
    [ -f "$src" ] || { echo "web-deps: no $src to copy a deb-src entry from" >&2; exit 1; }
    # The first stanza is the main archive; security fixes need no source here.
    entry=$(awk 'BEGIN { RS = ""; FS = "\n" } NR == 1 {
                 for (i = 1; i <= NF; i++)
                     if ($i ~ /^(URIs|Suites|Components|Signed-By):/) print $i
             }' "$src")
    printf 'Types: deb-src\n%s\n' "$entry" | $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
fi
