#!/usr/bin/env bash
# Memory and time of `navolis e` over big hives of three shapes, against the file's size:
#   parents  60,000 keys of 3 values, each below a parent key of its own (about 30 MB)
#   flat    200,000 keys of 3 values below one parent (about 100 MB)
#   small   the sample's own hive, for the time a small hive takes
# Prints per shape the median wall time and peak resident memory, and what the hive adds to the
# program's own memory (the peak above the small hive's) as a multiple of the file.
# bench/registry/hive-memory.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/prefixes/common.sh
build=$(realpath "${1:-build}")
runs=${2:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/navolis-hive-XXXXXX")
trap 'rm -rf "$work"' EXIT
install_program "$work/program" "$build"

# hive SHAPE KEYS > user.reg: Wine's header, then KEYS keys of three values (about 500 bytes).
hive() {
    awk -v shape="$1" -v keys="$2" 'BEGIN {
        printf "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
        pad = sprintf("%0300d", 0)
        for (i = 0; i < keys; i++) {
            if (shape == "parents")
                printf "[Software\\\\Bench\\\\P%06d\\\\Key] 1700000000\n", i
            else
                printf "[Software\\\\Bench\\\\K%06d] 1700000000\n", i
            printf "#time=1da0000%08x\n\"Name\"=\"entry %d %s\"\n\"Count\"=dword:%08x\n", i, i, pad, i
            printf "\"Data\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14\n\n"
        }
    }'
}

measure() { # name
    local prefix=$work/$1 times=() peaks=() size
    size=$(stat -c %s "$prefix/user.reg")
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %M' -o "$work/time" env WINEPREFIX="$prefix" QT_QPA_PLATFORM=offscreen \
            "$work/program/navolis" e >/dev/null 2>&1 || true
        read -r seconds kb <"$work/time"
        times+=("$seconds")
        peaks+=("$kb")
    done
    local t p
    t=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    p=$(printf '%s\n' "${peaks[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
    [ "$1" = small ] && baseline=$p
    awk -v n="$1" -v s="$size" -v t="$t" -v p="$p" -v b="$baseline" 'BEGIN {
        printf "%-8s %6.1f MB  %5.2f s  peak %6.1f MB = %4.1fx the file; the hive adds %6.1f MB = %.2fx\n",
            n, s / 1e6, t, p / 1024, p * 1024 / s, (p - b) / 1024, (p - b) * 1024 / s }'
}

for shape in small parents flat; do
    copy_sample_prefix "$work/$shape"
done
hive parents 60000 >"$work/parents/user.reg"
hive flat 200000 >"$work/flat/user.reg"
for shape in small parents flat; do
    measure "$shape"
done
