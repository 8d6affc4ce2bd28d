#!/usr/bin/env bash
# Full-frame animations (every frame the whole picture, as many converters
# write them): every animated GIF of the test data (corpus and conformance
# suite) is first expanded with `gifsicle --unoptimize`, then optimised by
# `animora-cli optimize` (all steps, which never change the picture over
# time) and by `gifsicle -O2` and `-O3`. Prints sizes and times side by side.
# Usage: bench/compare-fullframe.sh [BUILD_DIR]   (default build-release)
# Target: every file at or below gifsicle -O3; the files that miss are
# listed (the script does not fail on them).
set -euo pipefail
build=${1:-build-release}
here=$(cd "$(dirname "$0")" && pwd)
cli="$build/src/animora-cli"
testdata=${ANIMORA_TESTDATA_DIR:-"$here/../../shared/testdata"}
runs=${RUNS:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in seconds of $runs runs of the command.
measure() {
    local times=()
    local TIMEFORMAT='%R'
    for ((i = 0; i < runs; i++)); do
        times+=("$({ time "$@" >/dev/null 2>&1; } 2>&1)")
    done
    printf '%s\n' "${times[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}
size() { stat -c %s "$1"; }

echo
echo "Full-frame animations (gifsicle --unoptimize of every animated test GIF): animora-cli optimize vs gifsicle -O2 / -O3 (median of $runs runs)"
printf '%-44s %9s | %9s %7s | %9s %7s | %9s %7s | %7s\n' file full ours s "-O2" s "-O3" s "ours/O3"
misses=()
total_ours=0 total_o3=0
for gif in "$testdata"/corpus/*.gif "$testdata"/gif-suite/*.gif; do
    frames=$("$cli" info "$gif" 2>/dev/null | awk '/^frames:/ { print $2 }' || true)
    [ "${frames:-0}" -gt 1 ] || continue
    name=$(basename "$(dirname "$gif")")/$(basename "$gif")
    full="$work/full.gif"
    rm -f "$full"
    if ! gifsicle --unoptimize "$gif" -o "$full" 2>/dev/null || [ ! -s "$full" ]; then
        printf '%-44s gifsicle cannot expand it; skipped\n' "$name"
        continue
    fi
    t_ours=$(measure "$cli" optimize "$full" "$work/ours.gif")
    t_o2=$(measure gifsicle -O2 "$full" -o "$work/o2.gif")
    t_o3=$(measure gifsicle -O3 "$full" -o "$work/o3.gif")
    s_ours=$(size "$work/ours.gif")
    s_o3=$(size "$work/o3.gif")
    total_ours=$((total_ours + s_ours))
    total_o3=$((total_o3 + s_o3))
    percent=$(awk -v b="$s_ours" -v g="$s_o3" 'BEGIN { printf "%.1f%%", 100 * b / g }')
    printf '%-44s %9d | %9d %7.3f | %9d %7.3f | %9d %7.3f | %7s\n' "$name" "$(size "$full")" \
        "$s_ours" "$t_ours" "$(size "$work/o2.gif")" "$t_o2" "$s_o3" "$t_o3" "$percent"
    if [ "$s_ours" -gt "$s_o3" ]; then
        misses+=("$name")
    fi
done
printf '%-44s %9s | %9d %7s | %9s %7s | %9d %7s | %7s\n' "total" "" "$total_ours" "" "" "" "$total_o3" "" \
    "$(awk -v b="$total_ours" -v g="$total_o3" 'BEGIN { printf "%.1f%%", 100 * b / g }')"
if [ ${#misses[@]} -gt 0 ]; then
    echo "MISSED: larger than gifsicle -O3: ${misses[*]}"
else
    echo "goal met: every file at or below gifsicle -O3"
fi
