#!/bin/sh
# Builds the game for the browser, installing what is missing: the page,
# kestravale.js, kestravale.wasm and kestravale.data in build-web/site/,
# what players get. Serve that folder with scripts/web-serve.sh.
#
#   scripts/web-build.sh          # build-web/site/
#   scripts/web-build.sh --test   # also build-web/test-site/, for tests/web
#
# The test build is the same page and game with the browser test's hooks
# added (web/hooks.cpp in the game, web/test.js in the page); the game's
# sources are compiled once for both.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
case "$1" in
    "") targets="kestravale editor_data" ;;
    --test) targets="kestravale kestravale_test editor_data" ;;
    *) echo "usage: scripts/web-build.sh [--test]" >&2; exit 2 ;;
esac
scripts/deps.sh
openmpt=$(scripts/web-libopenmpt.sh)  # also runs scripts/web-deps.sh
export NODE_PATH=/usr/share/nodejs     # Debian's acorn, whichever Node.js comes first

emcmake cmake -S web -B build-web -DKV_OPENMPT="$openmpt" >/dev/null
cmake --build build-web -j"$(nproc)" --target $targets

# The page's keys tables: docs/keys.txt without its column of SDL names,
# and docs/controls.txt.
table() {
    awk -F'|' -v skip="$2" '
        function cell(s) { gsub(/^ +| +$/, "", s); gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); return s }
        BEGIN { print "    <table>" }
        /^#/ || NF == 0 { next }
        {
            tag = n++ ? "td" : "th"; line = "      <tr>"
            for (j = 1; j <= NF; j++) if (j != skip) line = line "<" tag ">" cell($j) "</" tag ">"
            print line "</tr>"
        }
        END { print "    </table>" }' "$1"
}
table docs/keys.txt 2 > build-web/keys.html
table docs/controls.txt 0 > build-web/controls.html

# A site: the game built in folder $1 put in folder $2 with the page, and
# the page's extra scripts, if any, loaded after page.js.
site() {
    game="$1" out="$2"
    shift 2
    rm -rf "$out"
    mkdir -p "$out"
    cp "$game/kestravale.js" "$game/kestravale.wasm" "$game/kestravale.data" web/page.js web/page.css "$out/"
    for script in "$@"; do cp "web/$script" "$out/"; done
    awk -v keys=build-web/keys.html -v controls=build-web/controls.html -v scripts="$*" '
        /<!-- KEYS -->/ { while ((getline l < keys) > 0) print l; next }
        /<!-- CONTROLS -->/ { while ((getline l < controls) > 0) print l; next }
        { print }
        /<script src="page.js">/ { n = split(scripts, s, " "); for (i = 1; i <= n; i++) print "<script src=\"" s[i] "\"></script>" }' \
        web/index.html > "$out/index.html"
}
site build-web build-web/site level.js
[ "$1" = --test ] && site build-web/test build-web/test-site level.js test.js

# The level editor beside the game: its page, what it knows of the game
# (made from the game's own tables by editor_data) and the pictures and
# maps it draws with, in the site's data/ as the game names them.
node build-web/editor_data.js > build-web/editor-data.json
for out in build-web/site ${1:+build-web/test-site}; do
    cp web/editor.html web/editor.js web/editor.css web/link.js web/levelfile.js web/checks.js build-web/editor-data.json "$out/"
    mkdir -p "$out/data"
    for file in $(node -e 'const d = require("./build-web/editor-data.json");
        console.log([...Object.values(d.pictures), ...d.levels.map((l) => l.backdrop), ...d.levelFiles].join(" "))'); do
        cp "$file" "$out/$file"
    done
done
echo "The web version is in build-web/site${1:+ (its test build in build-web/test-site)}:"
ls -l build-web/site | awk 'NR > 1 { printf "  %-18s %9d bytes\n", $9, $5; total += $5 } END { printf "  %-18s %9d bytes\n", "in all", total }'
