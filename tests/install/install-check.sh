#!/bin/sh
# Installs the build into a temporary folder, checks that the tree holds every file a desktop
# expects, moves it, and runs the moved program's unattended "n" on a copy of the Wine sample.
#   install-check.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/navolis-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/usr" >/dev/null
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
libdir=${libdir:-lib}

fail=0
expect() {
    for path in "$@"; do
        if [ ! -e "$work/usr/$path" ]; then
            echo "missing: $path" >&2
            fail=1
        fi
    done
}
expect bin/navolis "$libdir/navolis/libQuTrans1.so" \
    share/navolis/navolis.t00 share/navolis/clck.wav \
    share/navolis/qutrans/ENGLISH.lng share/navolis/qutrans/DEUTSCH.lng \
    share/navolis/qutrans/ENGLISH.chm share/navolis/qutrans/ENGLISH.doc \
    share/navolis/qutrans/DEUTSCH.chm share/navolis/qutrans/DEUTSCH.doc \
    share/applications/example.navolis.Navolis.desktop \
    share/metainfo/example.navolis.Navolis.metainfo.xml \
    share/icons/hicolor/scalable/apps/navolis.svg \
    share/man/man1/navolis.1
for size in 16 22 24 32 48 64 128 256; do
    expect "share/icons/hicolor/${size}x${size}/apps/navolis.png"
done
[ "$fail" -eq 0 ] || exit 1

if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$work/usr/share/applications/example.navolis.Navolis.desktop"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$work/usr/share/metainfo/example.navolis.Navolis.metainfo.xml" >/dev/null
fi

# A moved tree still finds its library and its data: nothing in it names the install prefix.
mv "$work/usr" "$work/moved"
prefix="$work/prefix"
cp -a "$source/tests/data/wine8-prefix" "$prefix"
rm "$prefix/dosdevices/c:"
ln -s ../drive_c "$prefix/dosdevices/c:"
mkdir -p "$work/home"
version=$(env -u NAVOLIS_PROGRAM_PATH "$work/moved/bin/navolis" --version)
[ "$version" = "navolis 1.5a" ] || { echo "unexpected version: $version" >&2; exit 1; }
env -u NAVOLIS_PROGRAM_PATH -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
    WINEPREFIX="$prefix" "$work/moved/bin/navolis" n
# A first start without a display cannot ask for a language: it runs, and leaves the question
# to the first start with a window.
if [ -e "$work/moved/bin/navolis.cho" ] || [ -e "$work/home/data/navolis/navolis.cho" ]; then
    echo "the unattended first start chose a language" >&2
    exit 1
fi
echo "installed tree complete; the moved program ran its unattended n"
