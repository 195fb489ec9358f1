#!/bin/sh
# Serves the web version on 127.0.0.1 (port 8080, or the one given), building
# it first if it is not there. Open the address it prints in a browser.
#   scripts/web-serve.sh [port]
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
[ -f "$top/build-web/site/index.html" ] || "$top/scripts/web-build.sh"
exec node "$top/web/serve.mjs" "$top/build-web/site" "${1:-8080}"
