#!/usr/bin/env bash
# Times `animora-cli reduce` against ImageMagick on a 1920x1080 picture tiled
# from the hibiscus test picture: optimised 256-colour palette with
# Floyd-Steinberg dithering, both run as whole processes (load, reduce, save).
# Usage: bench/compare-reduce.sh [BUILD_DIR]   (default build-release)
# Fails when animora-cli is not at least 3 times as fast.
set -euo pipefail
build=${1:-build-release}
here=$(cd "$(dirname "$0")" && pwd)
cli="$build/src/animora-cli"
testdata=${ANIMORA_TESTDATA_DIR:-"$here/../../shared/testdata"}
source_picture="$testdata/pictures/hibiscus.regular.bmp"
runs=${RUNS:-7}
target=3

# ImageMagick's own binary, not a wrapper that may sit in front of it on PATH.
convert_bin=$(command -v convert-im6.q16 || command -v convert)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tiled="$work/tiled-1920x1080.bmp"
"$convert_bin" -size 1920x1080 "tile:$source_picture" -type TrueColor "BMP3:$tiled"

# "WALL CPU": medians over $runs runs of the wall time and of the processor
# time (user + system) of the command, in seconds. The machine is shared, so
# the processor time is shown too: it is what load does not inflate.
measure() {
    local walls=() cpus=()
    local TIMEFORMAT='%R %U %S'
    for ((i = 0; i < runs; i++)); do
        local line
        line=$({ time "$@" >/dev/null 2>&1; } 2>&1)
        walls+=("$(awk '{ print $1 }' <<<"$line")")
        cpus+=("$(awk '{ printf "%.3f", $2 + $3 }' <<<"$line")")
    done
    echo "$(median "${walls[@]}") $(median "${cpus[@]}")"
}
median() {
    printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

read -r animora animora_cpu < <(measure "$cli" reduce "$tiled" "$work/animora.bmp" --mode 7 --bits 8 --dither 1)
read -r magick magick_cpu < <(measure "$convert_bin" "$tiled" -dither FloydSteinberg -colors 256 "$work/magick.bmp")
ratio=$(awk -v a="$animora" -v m="$magick" 'BEGIN { printf "%.2f", m / a }')
cpu_ratio=$(awk -v a="$animora_cpu" -v m="$magick_cpu" 'BEGIN { printf "%.2f", m / a }')

echo
echo "Reduce 1920x1080 to 256 colours with Floyd-Steinberg (medians of $runs runs, whole process)"
printf '%-68s %9s %9s\n' "command" "wall s" "cpu s"
printf '%-68s %9.3f %9.3f\n' "animora-cli reduce IN.bmp OUT.bmp --mode 7 --bits 8 --dither 1" "$animora" "$animora_cpu"
printf '%-68s %9.3f %9.3f\n' "$(basename "$convert_bin") IN.bmp -dither FloydSteinberg -colors 256 OUT.bmp" \
    "$magick" "$magick_cpu"
printf 'animora-cli is %.1fx as fast in wall time, %.1fx in processor time (target: %dx in wall time)\n' \
    "$ratio" "$cpu_ratio" "$target"
if awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r < t) }'; then
    echo "FAILED: below the target"
    exit 1
fi
