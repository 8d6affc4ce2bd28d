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
runs=${RUNS:-5}
target=3

# ImageMagick's own binary, not a wrapper that may sit in front of it on PATH.
convert_bin=$(command -v convert-im6.q16 || command -v convert)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tiled="$work/tiled-1920x1080.bmp"
"$convert_bin" -size 1920x1080 "tile:$source_picture" -type TrueColor "BMP3:$tiled"

# Median wall time in seconds of $runs runs of the command.
median_seconds() {
    local times=()
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
    done
    printf '%s\n' "${times[@]}" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

animora=$(median_seconds "$cli" reduce "$tiled" "$work/animora.bmp" --mode 7 --bits 8 --dither 1)
magick=$(median_seconds "$convert_bin" "$tiled" -dither FloydSteinberg -colors 256 "$work/magick.bmp")
ratio=$(awk -v a="$animora" -v m="$magick" 'BEGIN { printf "%.2f", m / a }')

echo
echo "Reduce 1920x1080 to 256 colours with Floyd-Steinberg (median of $runs runs, whole process)"
printf '%-70s %8.3f s\n' "animora-cli reduce IN.bmp OUT.bmp --mode 7 --bits 8 --dither 1" "$animora"
printf '%-70s %8.3f s\n' "$(basename "$convert_bin") IN.bmp -dither FloydSteinberg -colors 256 OUT.bmp" "$magick"
printf 'animora-cli is %.1fx as fast (target: %dx)\n' "$ratio" "$target"
if awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r < t) }'; then
    echo "FAILED: below the target"
    exit 1
fi
