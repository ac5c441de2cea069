#!/usr/bin/env bash
# What overwriting costs: `navolis b` on 20,000 cache entries as it runs by default (every
# removed file overwritten with zeros and flushed first), paired with `navolis --no-overwrite b`
# (farm-bench, one call). Every run empties a fresh copy made beforehand, so that no copying is
# timed. bench/prefixes/overwrite.sh [BUILD_DIR] [WORK_FOLDER, on the file system to measure]
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/prefixes/common.sh
build=$(realpath "${1:-build}")
runs=5
work=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/navolis-overwrite-XXXXXX")
trap 'rm -rf "$work"' EXIT

one=$work/one
copy_sample_prefix "$one"
WINEPREFIX=$one "$build/bin/navolis-seed" cache 20000 >/dev/null
for side in on off; do
    for run in $(seq 0 "$runs"); do
        cp -a "$one" "$work/$side-$run"
    done
done
sync

program=$work/program
install_program "$program" "$build"

echo 0 >"$work/next-on"
echo 0 >"$work/next-off"
next='n=$(cat '"$work"'/next-$0); echo $((n + 1)) >'"$work"'/next-$0'
run="env WINEPREFIX=$work/\$0-\$n QT_QPA_PLATFORM=offscreen $program/navolis"

echo "== navolis b, overwriting (A) against --no-overwrite (B), 20,000 entries"
farm-bench -n "$runs" --timeout 900 --vs "sh -c '$next; exec $run --no-overwrite b' off" \
    -- sh -c "$next; exec $run b" on
for side in on off; do
    for run in $(seq 0 "$runs"); do
        left=$(find "$work/$side-$run" -path '*Content.IE5/*/*' -type f | wc -l)
        [ "$left" -eq 0 ] || { echo "$side-$run left $left files: not the figures of a clean" >&2; exit 1; }
    done
done
