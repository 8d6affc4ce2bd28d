#!/usr/bin/env bash
# Takes main-window.png: the editor on a virtual X display (xvfb) with a
# corpus GIF open; then video-progress.png and document-window.png. Written
# into OUTPUT_FOLDER (`make screenshot` gives build/screenshots; `make
# screenshots-update` gives docs/screenshots, the committed pictures).
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

# The progress window while a video opens: a 30-second video made by ffmpeg,
# chosen in File › Open, pictured a few seconds into its import.
progress="$(dirname "$output")/video-progress.png"
ffmpeg -v error -y -f lavfi -i testsrc2=size=640x360:rate=25 -t 30 -c:v libx264 -pix_fmt yuv420p "$workdir/clip.mp4"
xvfb-run --auto-servernum --server-args="-screen 0 ${width}x${height}x24" bash -c '
    "$0" &
    editor=$!
    sleep 4
    xdotool mousemove 700 300 click 1 key ctrl+o; sleep 2
    xdotool type --delay 20 "$1"; xdotool key Return
    sleep 6
    import -window root "$2"
    kill "$editor"
' "$binary" "$workdir/clip.mp4" "$workdir/progress.png"
cp "$workdir/progress.png" "$progress"
echo "wrote $progress"

# The document window with shapes painted: a first start (no saved places)
# on a 1280 x 800 screen, the preview's edit button, the window maximised and
# zoomed, then a rectangle, an ellipse, a line and a long-pen stroke.
document="$(dirname "$output")/document-window.png"
printf '[Option]\nShowOpenWiz=0\n' > "$workdir/config/Zelqo/Animora.conf"
xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" bash -c '
    "$0" "$1" &
    editor=$!
    sleep 4
    drag() { xdotool mousemove "$1" "$2" mousedown 1 mousemove "$3" "$4" mousemove "$5" "$6" mouseup 1; }
    xdotool mousemove 378 220 click 1; sleep 1          # the preview'"'"'s edit button
    xdotool mousemove 1148 470 click 1; sleep 0.5       # maximise the document window
    xdotool mousemove 150 260 click 1 key ctrl+Next ctrl+Next ctrl+Next; sleep 0.5
    xdotool mousemove 717 96 click 1; drag 150 260 200 300 260 380      # rectangle
    xdotool mousemove 746 96 click 1; drag 200 330 300 400 390 480      # ellipse
    xdotool mousemove 688 96 click 1; drag 120 560 300 300 400 230      # line
    xdotool mousemove 659 96 click 1; xdotool mousemove 130 230 mousedown 1
    for i in $(seq 0 40); do xdotool mousemove $((130 + i * 6)) $((230 + (i % 10) * 8)); done
    xdotool mouseup 1 mousemove 330 420; sleep 0.5
    import -window root "$2"
    kill "$editor"
' "$binary" "$repo/../shared/testdata/corpus/hat.gif" "$workdir/document.png"
convert "$workdir/document.png" -crop 1088x680+96+60 +repage "$document"
echo "wrote $document"
