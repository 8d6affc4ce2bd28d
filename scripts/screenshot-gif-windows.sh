#!/usr/bin/env bash
# Takes docs/screenshots/extensions-explorer.png and global-palette.png: the
# editor on a virtual X display (xvfb) with a corpus GIF open, driven with
# xdotool. The GIF gets an application block of a made-up program in front of
# its first frame, so the explorer has a hex dump to show.
#
#   scripts/screenshot-gif-windows.sh [GIF relative to ../shared] [animora binary]
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
gif="${1:-testdata/corpus/waves.gif}"
binary="${2:-$repo/build/src/app/animora}"
width=1240
height=700

[ -x "$binary" ] || { echo "no editor at $binary (build it first)" >&2; exit 1; }
[ -f "$repo/../shared/$gif" ] || { echo "no file $repo/../shared/$gif" >&2; exit 1; }

workdir="$(mktemp -d)"
trap 'rm -rf "$workdir"' EXIT

# The application block goes right after the header and the global table.
python3 - "$repo/../shared/$gif" "$workdir/demo.gif" <<'PY'
import sys
src = open(sys.argv[1], 'rb').read()
packed = src[10]
at = 13 + (3 * 2 ** ((packed & 7) + 1) if packed & 0x80 else 0)
blocks = [b'Frame timing table: 0,10,20,30 ms', bytes(range(40)), b'\x00\x01end of data\xff\xfe']
block = b'\x21\xff\x0bZELQODMO1.0' + b''.join(bytes([len(b)]) + b for b in blocks) + b'\x00'
open(sys.argv[2], 'wb').write(src[:at] + block + src[at:])
PY

shoot() {  # output file, xdotool steps after the editor is up
    local config="$workdir/config-$1"
    mkdir -p "$config/Zelqo" "$workdir/runtime"
    chmod 700 "$workdir/runtime"
    cat > "$config/Zelqo/Animora.conf" <<CONF
[Option]
ShowOpenWiz=0
Left=0
Top=0
Width=$width
Heigth=$height
PreviewLeft=8
PreviewTop=8
PreviewWidth=360
PreviewHeight=260
CONF
    (cd "$workdir" && XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$workdir/runtime" \
        xvfb-run --auto-servernum --server-args="-screen 0 ${width}x${height}x24" bash -c '
        "$0" "$1" &
        editor=$!
        sleep 4
        eval "$3"
        sleep 1
        import -window root "$2"
        kill "$editor"
    ' "$binary" "$workdir/demo.gif" "$workdir/$1" "$2")
    mkdir -p "$repo/docs/screenshots"
    cp "$workdir/$1" "$repo/docs/screenshots/$1"
    echo "wrote docs/screenshots/$1"
}

# The explorer's tool button, then the application block of frame 0.
shoot extensions-explorer.png "xdotool mousemove 55 70 click 1; sleep 1.5; xdotool mousemove 502 163 click 1"
# The global palette's tool button, then the mouse over an entry.
shoot global-palette.png "xdotool mousemove 27 70 click 1; sleep 1.5; xdotool mousemove 600 220; sleep 0.3; xdotool mousemove 610 225"
