#!/usr/bin/env bash
# Takes map-window.png and import-preview.png for the user guide: the editor
# on a virtual X display (xvfb) with a corpus GIF open, driven with xdotool.
# The map of the GIF opens from its tool button and shows frame 5 at full
# size; the import dialog (Draw > Import) shows its preview of a picture.
#
#   scripts/screenshot-map.sh [OUTPUT_FOLDER] [animora binary]
#
# The output folder defaults to docs/screenshots. The editor runs with
# settings of its own (a temporary XDG_CONFIG_HOME) in a temporary start
# folder, so nobody's own settings are touched and the file dialog opens on
# a folder holding only the pictures it is to show.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
output="${1:-$repo/docs/screenshots}"
binary="${2:-$repo/build/src/app/animora}"
data="$repo/../shared/testdata"
width=1240
height=760

[ -x "$binary" ] || { echo "no editor at $binary (build it first)" >&2; exit 1; }
[ -d "$data/corpus" ] || { echo "no test data at $data" >&2; exit 1; }
mkdir -p "$output"
output="$(cd "$output" && pwd)"

workdir="$(mktemp -d)"
trap 'rm -rf "$workdir"' EXIT
mkdir -p "$workdir/start" "$workdir/runtime"
chmod 700 "$workdir/runtime"
cp "$data/corpus/waves.gif" "$data/pictures/hat.jpeg" "$data/pictures/hippopotamus.bmp" \
    "$data/pictures/hibiscus.regular.jpeg" "$workdir/start/"

shoot() {  # picture, xdotool steps once the editor is up, crop geometry
    local config="$workdir/config-$1"
    mkdir -p "$config/Zelqo"
    cat > "$config/Zelqo/Animora.conf" <<CONF
[Option]
ShowOpenWiz=0
Left=0
Top=0
Width=$width
Heigth=$height
PreviewLeft=8
PreviewTop=8
PreviewWidth=420
PreviewHeight=300
CONF
    (cd "$workdir/start" && XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$workdir/runtime" \
        xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" bash -c '
        "$0" waves.gif &
        editor=$!
        sleep 4
        eval "$2"
        sleep 1
        import -window root "$1"
        kill "$editor"
    ' "$binary" "$workdir/screen.png" "$2")
    convert "$workdir/screen.png" -crop "$3" +repage "$output/$1"
    echo "wrote $output/$1"
}

# The Import Wizard tool button, then a click on "Frame 5".
shoot map-window.png "xdotool mousemove 150 36 click 1; sleep 1.5; xdotool mousemove 490 214 click 1" \
    566x412+427+89
# Draw > Import, then a click on hat.jpeg in the file list.
shoot import-preview.png "xdotool mousemove 150 8 click 1; sleep 0.5; xdotool mousemove 178 29 click 1; sleep 1.5;
    xdotool mousemove 458 204 click 1" 631x413+295+134
