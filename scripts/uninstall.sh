#!/bin/sh
# Removes a copy of the game that `cmake --install` put under PREFIX: every
# file it installed and the folders that are the game's own, and nothing
# else. Run it once for each prefix the game was installed to.
#   sudo scripts/uninstall.sh [PREFIX, default /usr/local]
# DESTDIR, as for the install, is put in front of the prefix.
set -e
prefix="${DESTDIR:-}${1:-/usr/local}"
id=io.github.kestravale.KestraVale
[ -d "$prefix" ] || { echo "uninstall: no folder $prefix" >&2; exit 1; }
# The command: in games/, or bin/ for a prefix configured so; only ours.
for command in "$prefix/games/kestravale" "$prefix/bin/kestravale"; do
    if [ -f "$command" ] && grep -q "starts the installed game" "$command"; then
        rm -f "$command"
    fi
done
rm -f "$prefix/share/applications/$id.desktop" \
      "$prefix/share/metainfo/$id.metainfo.xml" \
      "$prefix/share/man/man6/kestravale.6"
for icon in "$prefix"/share/icons/hicolor/*/apps/"$id".png; do
    [ -e "$icon" ] && rm -f "$icon"
done
rm -rf "$prefix/libexec/kestravale" "$prefix/share/games/kestravale" "$prefix/share/doc/kestravale"
echo "Removed Kestra Vale from $prefix"
