#!/bin/sh
# kestravale: starts the installed game. The game reads data/ from its
# working directory, so this moves into the folder that holds it, found
# from where this script is installed (so a DESTDIR or any prefix works),
# and first makes the files named after --record, --playdemo, --timedemo and --level
# absolute, so that they stay relative to the caller's folder.
self=$(readlink -f -- "$0") || exit 1
games=$(dirname -- "$self")
root=$(readlink -m -- "$games/@GAMES_TO_DATA@")
game=$(readlink -m -- "$games/@GAMES_TO_BINARY@")

if [ ! -d "$root/data" ]; then
    echo "kestravale: there is no data/ folder in $root; the game's data is not installed (reinstall the game)" >&2
    exit 1
fi

# The file after a demo option is whatever argument comes next, as the
# game takes it; an empty one is left for the game to refuse.
here=$(pwd)
here=${here%/}
file_follows=0
for arg do
    shift
    if [ "$file_follows" = 1 ]; then
        case $arg in
        /* | '') ;;
        *) arg="$here/$arg" ;;
        esac
        file_follows=0
    else
        case $arg in
        --record | --playdemo | --timedemo | --level) file_follows=1 ;;
        esac
    fi
    set -- "$@" "$arg"
done

cd "$root" || exit 1
exec "$game" "$@"
