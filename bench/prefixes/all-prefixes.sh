#!/usr/bin/env bash
# The run over many prefixes against the run over one: `navolis --all-prefixes c` on 50 Steam
# games of 100 cookies each, paired with `navolis c` on one such prefix (farm-bench, one call).
# Every run cleans a fresh copy made beforehand, so that no copying is timed.
# bench/prefixes/all-prefixes.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/prefixes/common.sh
build=$(realpath "${1:-build}")
runs=7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One prefix: Wine's sample with 98 cookies more.
one=$work/one
copy_sample_prefix "$one"
WINEPREFIX=$one "$build/bin/navolis-seed" cookies 98 >/dev/null

# A home for each run (the warm-up's included): 50 games in Steam's library, and one prefix.
mkdir -p "$work/singles"
for run in $(seq 0 "$runs"); do
    library=$work/homes/$run/.local/share/Steam/steamapps
    mkdir -p "$library/compatdata"
    for n in $(seq 1 50); do
        mkdir "$library/compatdata/$n"
        cp -a "$one" "$library/compatdata/$n/pfx"
        printf '"AppState"\n{\n\t"appid"\t"%s"\n\t"name"\t"Game %s"\n}\n' "$n" "$n" \
            >"$library/appmanifest_$n.acf"
    done
    cp -a "$one" "$work/singles/$run"
done

program=$work/program
install_program "$program" "$build"

# Each command takes the next fresh copy.
echo 0 >"$work/next-all"
echo 0 >"$work/next-one"
next='n=$(cat '"$work"'/next-$0); echo $((n + 1)) >'"$work"'/next-$0; h='"$work"'/homes/$n'
all="$next; exec env -u WINEPREFIX HOME=\$h XDG_DATA_HOME=\$h/.local/share XDG_CONFIG_HOME=\$h/.config QT_QPA_PLATFORM=offscreen $program/navolis --all-prefixes c >/dev/null 2>&1"
single="$next; exec env HOME=\$h XDG_DATA_HOME=\$h/.local/share XDG_CONFIG_HOME=\$h/.config WINEPREFIX=$work/singles/\$n QT_QPA_PLATFORM=offscreen $program/navolis c >/dev/null 2>&1"

echo "== all 50 prefixes (A) against one prefix (B)"
farm-bench -n "$runs" --timeout 600 --vs "sh -c '$single' one" -- sh -c "$all" all
for run in $(seq 0 "$runs"); do
    left=$(find "$work/homes/$run" "$work/singles/$run" -path '*INetCookies/*.txt' | wc -l)
    [ "$left" -eq 0 ] || { echo "run $run left $left cookies: the figures are not of a clean" >&2; exit 1; }
done
