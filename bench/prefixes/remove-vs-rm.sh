#!/usr/bin/env bash
# What emptying the cache costs beyond removing its files: `navolis --no-overwrite b` on 60,000
# cache entries, paired with `rm` of the same files (farm-bench, one call). Every run works on a
# fresh copy made beforehand, so that no copying is timed.
# bench/prefixes/remove-vs-rm.sh [BUILD_DIR] [ENTRIES]
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/prefixes/common.sh
build=$(realpath "${1:-build}")
entries=${2:-60000}
runs=5
work=$(mktemp -d "${TMPDIR:-/tmp}/navolis-remove-XXXXXX")
trap 'rm -rf "$work"' EXIT

one=$work/one
copy_sample_prefix "$one"
WINEPREFIX=$one "$build/bin/navolis-seed" cache "$entries" >/dev/null
for side in navolis rm; do
    for run in $(seq 0 "$runs"); do
        cp -a "$one" "$work/$side-$run"
    done
done
# rm is handed the list of names, found beforehand: only the removing is timed.
for run in $(seq 0 "$runs"); do
    find "$work/rm-$run" -path '*Content.IE5/*/*' -type f -print0 >"$work/rm-$run.list"
done
sync

program=$work/program
install_program "$program" "$build"

echo 0 >"$work/next-navolis"
echo 0 >"$work/next-rm"
next='n=$(cat '"$work"'/next-$0); echo $((n + 1)) >'"$work"'/next-$0'
files="xargs -0 rm -f <$work/\$0-\$n.list"
run="env WINEPREFIX=$work/\$0-\$n QT_QPA_PLATFORM=offscreen $program/navolis"

echo "== navolis --no-overwrite b (A) against rm of the same files (B), $entries entries"
farm-bench -n "$runs" --timeout 1200 --vs "sh -c '$next; $files' rm" \
    -- sh -c "$next; exec $run --no-overwrite b" navolis
for run in $(seq 0 "$runs"); do
    left=$(find "$work/navolis-$run" -path '*Content.IE5/*/*' -type f | wc -l)
    [ "$left" -eq 0 ] || { echo "navolis-$run left $left files: not the figures of a clean" >&2; exit 1; }
done
