#!/bin/sh
# Builds libopenmpt for the browser, once per machine: Debian's own source
# package (`apt-get source libopenmpt`), compiled with Debian's emscripten
# into a static library, kept in a cache outside the source tree. A cached
# build is used again while the source version, emscripten's version and
# this script stay the same. Prints the cache folder (include/ and lib/).
#
#   scripts/web-libopenmpt.sh
#
# The cache lives in $KV_WEB_CACHE, by default ~/.cache/kestravale-web.
set -e
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/web-deps.sh" >&2
export NODE_PATH=/usr/share/nodejs  # Debian's acorn, whichever Node.js comes first

cache="${KV_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestravale-web}"
# libopenmpt reports a damaged module by throwing, and the game must go on
# without that music rather than stop: its interface (libopenmpt/*.cpp)
# catches exceptions. The rest of the library is built without catching,
# which keeps the mixer fast (with catching, every call that might throw
# goes through JavaScript); a throw deep inside still reaches the interface.
flags="-std=c++17 -O2 -fvisibility=hidden -DLIBOPENMPT_BUILD
       -I. -Isrc -Icommon -Ibuild/svn_version -Wno-deprecated-declarations"
catching="-sDISABLE_EXCEPTION_CATCHING=0"
recipe=2  # counts changes to how the library is built that the flags do not show
version=$(apt-cache showsrc libopenmpt | awk '/^Version:/ { print $2; exit }')
[ -n "$version" ] || { echo "web-libopenmpt: apt knows no source package libopenmpt" >&2; exit 1; }
emver=$(emcc -dumpversion)
key="libopenmpt $version, emscripten $emver, recipe $recipe, flags $(echo $flags $catching | sha256sum | cut -c1-16)"
prefix="$cache/libopenmpt-$version-em$emver"
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9  # another build on this machine finishes first
if [ -f "$prefix/built" ] && [ "$(cat "$prefix/built")" = "$key" ]; then
    echo "$prefix"
    exit 0
fi

echo "Building $key into $prefix" >&2
work="$cache/work"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/include/libopenmpt" "$prefix/lib"
(cd "$work" && apt-get source -qq "libopenmpt=$version") >&2
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libopenmpt-*' | head -n 1)
[ -d "$src" ] || { echo "web-libopenmpt: apt-get source gave no libopenmpt folder" >&2; exit 1; }

# The library's own sources, as its Makefile.am lists them; no zlib, mpg123
# or Vorbis (the game plays only IT modules).
files=$(cd "$src" && awk '
    /^MPT_FILES_(COMMON|SOUNDBASE|SOUNDLIB|SOUNDDSP|SRC_MPT|SRC_OPENMPT) \+= .*\.cpp$/ { print $3 }
    /^libopenmpt_la_SOURCES \+= libopenmpt\/.*\.cpp$/ { print $3 }' Makefile.am)
[ -n "$files" ] || { echo "web-libopenmpt: no sources found in $src/Makefile.am" >&2; exit 1; }
# The version it reports, as its configure script would define it.
version_defines=$(sed -n "s/^AC_DEFINE(\[\(MPT_SVNURL\|MPT_SVNVERSION\|MPT_SVNDATE\|MPT_PACKAGE\)\], \[\(.*\)\], \[.*\])\$/'-D\1=\2'/p" \
    "$src/configure.ac" | tr '\n' ' ')

{
    echo "OBJS ="
    for f in $files; do
        o="obj/$(echo "$f" | tr / _ | sed 's/\.cpp$/.o/')"
        echo "OBJS += $o"
        case "$f" in libopenmpt/*) extra="$catching" ;; *) extra="" ;; esac
        printf '%s: %s\n\t@mkdir -p obj\n\t@echo "  em++ %s"\n\t@em++ %s %s -c %s -o %s\n' \
            "$o" "$f" "$f" "$(echo $flags $extra)" "$version_defines" "$f" "$o"
    done
    printf 'libopenmpt.a: $(OBJS)\n\temar rcs $@ $(OBJS)\n'
} > "$src/web.mk"
make -C "$src" -f web.mk -j"$(nproc)" libopenmpt.a >&2

cp "$src/libopenmpt.a" "$prefix/lib/"
cp "$src"/libopenmpt/libopenmpt.h "$src"/libopenmpt/libopenmpt_config.h \
   "$src"/libopenmpt/libopenmpt_version.h "$prefix/include/libopenmpt/"
rm -rf "$work"
echo "$key" > "$prefix/built"
echo "$prefix"
