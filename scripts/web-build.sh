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
    "") targets="kestravale kestravale_plain editor_data" ;;
    --test) targets="kestravale kestravale_plain kestravale_test kestravale_test_plain editor_data" ;;
    *) echo "usage: scripts/web-build.sh [--test]" >&2; exit 2 ;;
esac
scripts/deps.sh
openmpt=$(scripts/web-libopenmpt.sh)  # also runs scripts/web-deps.sh
export NODE_PATH=/usr/share/nodejs     # Debian's acorn, whichever Node.js comes first

emcmake cmake -S web -B build-web -DKV_OPENMPT="$openmpt" >/dev/null
cmake --build build-web -j"$(nproc)" --target $targets
# The code without SIMD runs under the same script: the two scripts may
# differ in their own names and their data package's random id only.
same() { sed -e 's/kestravale-plain/kestravale/g' -e 's/"package_uuid":"[^"]*"//' "$1"; }
for game in build-web ${1:+build-web/test}; do
    same $game/kestravale.js > $game/kestravale-script.txt
    same $game/kestravale-plain.js | cmp -s - $game/kestravale-script.txt ||
        { echo "web-build: $game/kestravale-plain.js differs from kestravale.js beyond its name" >&2; exit 1; }
done

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
# The page's links to the more levels, each holding its whole level.
node web/tools/more_levels.mjs assets/levels/more/*.txt > build-web/more-levels.html

# A site: the game built in folder $1 put in folder $2 with the page, and
# the page's extra scripts, if any, loaded after page.js. The page is told
# the size of each of the game's files (the progress bar's total, whatever
# the server's compression), and every file gets a gzip and a Brotli copy
# beside it (kestravale.wasm.gz, kestravale.wasm.br) for servers that send
# those (web/serve.mjs, docs/hosting.md).
site() {
    game="$1" out="$2"
    shift 2
    rm -rf "$out"
    mkdir -p "$out"
    cp "$game/kestravale.js" "$game/kestravale.wasm" "$game/kestravale.data" web/page.js web/page.css "$out/"
    cp "$game/kestravale-plain.wasm" "$out/"
    for script in "$@"; do cp "web/$script" "$out/"; done
    sizes=$(cd "$out" && for f in kestravale.js kestravale.wasm kestravale-plain.wasm kestravale.data; do
        [ -f "$f" ] && printf '%s %s ' "$f" "$(wc -c < "$f")"; done)
    awk -v keys=build-web/keys.html -v controls=build-web/controls.html -v more=build-web/more-levels.html -v scripts="$*" -v sizes="${sizes% }" '
        /<!-- KEYS -->/ { while ((getline l < keys) > 0) print l; next }
        /<!-- CONTROLS -->/ { while ((getline l < controls) > 0) print l; next }
        /<!-- MORE LEVELS -->/ { while ((getline l < more) > 0) print l; next }
        { sub(/data-files=""/, "data-files=\"" sizes "\"") }
        { print }
        /<script src="page.js">/ { n = split(scripts, s, " "); for (i = 1; i <= n; i++) print "<script src=\"" s[i] "\"></script>" }' \
        web/index.html > "$out/index.html"
    grep -q "data-files=\"kestravale.js [0-9]" "$out/index.html" || { echo "web-build: the page has no place for the files' sizes" >&2; exit 1; }
    # gzip -n keeps no name or time, so the same file gives the same copies:
    # those of a file the first site has already are taken from there.
    for f in "$out"/*; do
        first="build-web/site/${f##*/}"
        if [ "$out" != build-web/site ] && cmp -s "$f" "$first"; then
            cp "$first.gz" "$f.gz"
            cp "$first.br" "$f.br"
            continue
        fi
        gzip -9 -n -c "$f" > "$f.gz" &
        brotli -q 11 -c "$f" > "$f.br"
        wait
    done
}
site build-web build-web/site level.js runs.js
[ "$1" = --test ] && site build-web/test build-web/test-site level.js runs.js test.js

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
scripts/web-sizes.sh build-web/site
