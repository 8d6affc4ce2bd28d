#!/usr/bin/env bash
# Takes docs/screenshots/main-window.png: the editor on a virtual X display
# (xvfb) with a corpus GIF open.
#
#   scripts/screenshot.sh [GIF relative to ../shared] [animora binary]
#
# The editor runs with settings of its own (a temporary XDG_CONFIG_HOME), so
# the chooser stays closed, the window sits at the top left at a fixed size,
# and nobody's own settings are touched.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
gif="${1:-testdata/corpus/waves.gif}"
binary="${2:-$repo/build/src/app/animora}"
output="$repo/docs/screenshots/main-window.png"
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
