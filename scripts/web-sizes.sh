#!/bin/sh
# Lists each file of a built site (build-web/site by default) with the sizes
# of its gzip and Brotli copies, and their sums (of what one browser loads).
#   scripts/web-sizes.sh [folder]
set -e
cd "${1:-build-web/site}"
for f in $(ls | grep -v '\.gz$\|\.br$'); do
    [ -f "$f.gz" ] || continue  # the editor's files and data/ have no copies
    echo "$f $(wc -c < "$f") $(wc -c < "$f.gz") $(wc -c < "$f.br")"
done | awk '{ printf "  %-18s %9d bytes, gzip %9d, Brotli %9d\n", $1, $2, $3, $4 }
            # A browser without SIMD loads this one instead of kestravale.wasm.
            $1 != "kestravale-plain.wasm" { a += $2; g += $3; b += $4 }
            END { printf "  %-18s %9d bytes, gzip %9d, Brotli %9d (%.2f, %.2f, %.2f MB)\n", "in all", a, g, b,
                          a / 1e6, g / 1e6, b / 1e6 }'
