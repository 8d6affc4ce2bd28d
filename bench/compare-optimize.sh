#!/usr/bin/env bash
# Optimises every animated corpus file (more than one frame) with
# `animora-cli optimize` (all steps, and all steps with --merge-maps) and with
# `gifsicle -O2`, and prints sizes and times side by side.
# Usage: bench/compare-optimize.sh [BUILD_DIR]   (default build-release)
# Target: our output (all steps, which never change the picture) no larger
# than 110 % of gifsicle's on each file; files that miss it are listed (the
# script does not fail on them). --merge-maps is shown beside it: it keeps
# the picture only when the file has at most 256 colours.
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
echo "Optimise animated GIFs: animora-cli optimize IN OUT [--merge-maps] vs gifsicle -O2 IN -o OUT (median of $runs runs)"
printf '%-28s %9s | %9s %7s | %9s %7s | %9s %7s | %6s\n' file input "ours" "s" "+maps" "s" gifsicle "s" "ours%"
misses=()
for gif in "$testdata"/corpus/*.gif; do
    frames=$("$cli" info "$gif" 2>/dev/null | awk '/^frames:/ { print $2 }')
    [ "${frames:-0}" -gt 1 ] || continue
    name=$(basename "$gif")
    t_ours=$(measure "$cli" optimize "$gif" "$work/ours.gif")
    t_maps=$(measure "$cli" optimize "$gif" "$work/maps.gif" --merge-maps)
    t_sicle=$(measure gifsicle -O2 "$gif" -o "$work/sicle.gif")
    s_ours=$(size "$work/ours.gif")
    s_maps=$(size "$work/maps.gif")
    s_sicle=$(size "$work/sicle.gif")
    percent=$(awk -v b="$s_ours" -v g="$s_sicle" 'BEGIN { printf "%.1f", 100 * b / g }')
    printf '%-28s %9d | %9d %7.3f | %9d %7.3f | %9d %7.3f | %6s\n' "$name" "$(size "$gif")" \
        "$s_ours" "$t_ours" "$s_maps" "$t_maps" "$s_sicle" "$t_sicle" "$percent"
    if awk -v p="$percent" 'BEGIN { exit !(p > 110) }'; then
        misses+=("$name")
    fi
done
if [ ${#misses[@]} -gt 0 ]; then
    echo "over 110 % of gifsicle: ${misses[*]}"
else
    echo "every file within 110 % of gifsicle"
fi
