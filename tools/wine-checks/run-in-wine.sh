#!/bin/sh
# Builds the Wine check programs with mingw-w64 and runs them under Wine.
#
#   run-in-wine.sh build
#   WINEPREFIX=/path/to/prefix run-in-wine.sh fillcache|listcache|stillworks [args...]
#   WINEPREFIX=/path/to/prefix run-in-wine.sh listfavorites [SUBFOLDER]
#   WINEPREFIX=/path/to/prefix run-in-wine.sh readurl FILE...
#   run-in-wine.sh make-sample DEST
#
# Executables go to $WINE_CHECKS_OUT (default /tmp/wine-checks).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${WINE_CHECKS_OUT:-/tmp/wine-checks}
cc=${CC_MINGW:-x86_64-w64-mingw32-gcc}

# Keep Wine quiet and stop it from offering to install Gecko or Mono.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if command -v wine >/dev/null 2>&1; then
    wine=wine
elif [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
else
    echo "no wine found (apt-get install wine64 wine)" >&2
    exit 127
fi

build() {
    mkdir -p "$out"
    for p in fillcache listcache stillworks listfavorites readurl; do
        case $p in
            listfavorites) libs="-lshell32 -lshlwapi -lole32 -luuid" ;;
            readurl) libs="-lole32 -luuid" ;;
            *) libs="" ;;
        esac
        if [ ! -e "$out/$p.exe" ] || [ "$here/$p.c" -nt "$out/$p.exe" ] \
            || [ "$here/common.h" -nt "$out/$p.exe" ]; then
            # shellcheck disable=SC2086
            "$cc" -std=c99 -O2 -Wall -Wextra -s -o "$out/$p.exe" "$here/$p.c" \
                $libs -lwininet -ladvapi32
        fi
    done
}

# Runs one program, then waits for the wineserver so the prefix is on disk
# and nothing is left running. The program's exit code is passed on.
run() {
    : "${WINEPREFIX:?set WINEPREFIX to the prefix to use}"
    export WINEPREFIX
    prog=$1
    shift
    build
    rc=0
    "$wine" "$out/$prog.exe" "$@" || rc=$?
    wineserver -w
    return $rc
}

make_sample() {
    dest=$1
    if [ -e "$dest" ] && [ -n "$(ls -A "$dest" 2>/dev/null)" ]; then
        echo "$dest exists and is not empty" >&2
        exit 1
    fi
    build
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/wine-sample.XXXXXX")
    export WINEPREFIX
    wineboot -i >/dev/null 2>&1
    wineserver -w
    run fillcache

    users="$WINEPREFIX/drive_c/users"
    user=$(ls "$users" | grep -v '^Public$' | head -n 1)
    win="drive_c/users/$user/AppData/Local/Microsoft/Windows"

    mkdir -p "$dest/dosdevices" "$dest/$win/INetCache" "$dest/$win/History"
    cp "$WINEPREFIX/user.reg" "$dest/"
    # system.reg of a fresh prefix is well over a megabyte; tests do not need it.
    ln -s ../drive_c "$dest/dosdevices/c:"
    cp -a "$WINEPREFIX/$win/INetCache/Content.IE5" "$dest/$win/INetCache/"
    cp -a "$WINEPREFIX/$win/INetCookies" "$dest/$win/"
    cp -a "$WINEPREFIX/$win/History/History.IE5" "$dest/$win/History/"

    rm -rf "$WINEPREFIX"
    echo "sample for user '$user' written to $dest"
}

case ${1:-} in
    build) build ;;
    fillcache|listcache|stillworks|listfavorites|readurl) run "$@" ;;
    make-sample)
        [ $# -eq 2 ] || { echo "usage: $0 make-sample DEST" >&2; exit 2; }
        make_sample "$2" ;;
    *)
        echo "usage: $0 build | fillcache | listcache | stillworks [--keep URL] [--gone URL]..." \
            "| listfavorites [SUBFOLDER] | readurl FILE... | make-sample DEST" >&2
        exit 2 ;;
esac
