#!/usr/bin/env bash
# Takes main-window.png: the editor on a virtual X display (xvfb) with a
# corpus GIF open, written into OUTPUT_FOLDER (`make screenshot` gives
# build/screenshots; `make screenshots-update` gives docs/screenshots, the
# committed picture).
#
#   scripts/screenshot.sh OUTPUT_FOLDER [GIF relative to ../shared] [animora binary]
#
# The editor runs with settings of its own (a temporary XDG_CONFIG_HOME), so
# the chooser stays closed, the window sits at the top left at a fixed size,
# and nobody's own settings are touched.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -ge 1 ] || { echo "usage: $0 OUTPUT_FOLDER [GIF] [BINARY]" >&2; exit 2; }
mkdir -p "$1"
output="$(cd "$1" && pwd)/main-window.png"
gif="${2:-testdata/corpus/waves.gif}"
binary="${3:-$repo/build/src/app/animora}"
width=900
height=620

[ -x "$binary" ] || { echo "no editor at $binary (build it first)" >&2; exit 1; }
[ -f "$repo/../shared/$gif" ] || { echo "no file $repo/../shared/$gif" >&2; exit 1; }

workdir="$(mktemp -d)"
trap 'rm -rf "$workdir"' EXIT
mkdir -p "$workdir/config/Zelqo"
cat > "$workdir/config/Zelqo/Animora.conf" <<CONF
[Option]
ShowOpenWiz=0
Left=0
Top=0
Width=$width
Heigth=$height
PreviewLeft=8
PreviewTop=8
PreviewWidth=480
PreviewHeight=300
CONF

cd "$workdir"   # the start folder: File.dat goes here, not into the repository
export XDG_CONFIG_HOME="$workdir/config" XDG_RUNTIME_DIR="$workdir"
xvfb-run --auto-servernum --server-args="-screen 0 ${width}x${height}x24" bash -c '
    "$0" "$1" &
    editor=$!
    sleep 4
    import -window root "$2"
    kill "$editor"
' "$binary" "$repo/../shared/$gif" "$workdir/shot.png"
mkdir -p "$(dirname "$output")"
cp "$workdir/shot.png" "$output"
echo "wrote $output"
