#!/bin/sh
# Builds the game for the browser, installing what is missing: the page,
# kestravale.js, kestravale.wasm and kestravale.data in build-web/site/.
# Serve that folder with scripts/web-serve.sh.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
scripts/deps.sh
openmpt=$(scripts/web-libopenmpt.sh)  # also runs scripts/web-deps.sh
export NODE_PATH=/usr/share/nodejs     # Debian's acorn, whichever Node.js comes first

emcmake cmake -S web -B build-web -DKV_OPENMPT="$openmpt" >/dev/null
cmake --build build-web -j"$(nproc)"

site=build-web/site
rm -rf "$site"
mkdir -p "$site"
cp build-web/kestravale.js build-web/kestravale.wasm build-web/kestravale.data web/page.js web/page.css "$site/"
# The keys table of the page is the README's.
awk '
    function cell(s) { gsub(/^ +| +$/, "", s); gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); return s }
    /^## Keys/ { on = 1; next }
    /^## / { on = 0 }
    on && /^\|/ { rows[n++] = $0 }
    END {
        print "    <table>"
        for (i = 0; i < n; i++) {
            if (i == 1) continue  # the |---| line
            row = rows[i]; sub(/^\|/, "", row); sub(/\|$/, "", row)
            k = split(row, c, "|"); tag = i == 0 ? "th" : "td"; line = "      <tr>"
            for (j = 1; j <= k; j++) line = line "<" tag ">" cell(c[j]) "</" tag ">"
            print line "</tr>"
        }
        print "    </table>"
    }' README.md > build-web/keys.html
awk -v keys=build-web/keys.html '/<!-- KEYS -->/ { while ((getline l < keys) > 0) print l; next } { print }' \
    web/index.html > "$site/index.html"
echo "The web version is in $site:"
ls -l "$site" | awk 'NR > 1 { printf "  %-18s %9d bytes\n", $9, $5; total += $5 } END { printf "  %-18s %9d bytes\n", "in all", total }'
