#!/usr/bin/env bash
# Takes the user guide's pictures of the Animation menu
# (docs/screenshots/animation-*): the menu open with the hint of its first
# item, and the Resize dialog; and the optimiser's page Color with 16
# colours and "Refine palette" (docs/screenshots/optimizer-refine.png). The
# editor runs on a virtual X display, driven by xdotool, over a corpus
# animation.
#
#   scripts/animation-screenshots.sh [build folder]
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
editor="$build/src/app/animora"
animation="$repo/../shared/testdata/corpus/muybridge.gif"
out="$repo/docs/screenshots"
[ -x "$editor" ] || { echo "no $editor (build it first)" >&2; exit 1; }

work="$(mktemp -d)"
chmod 700 "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# The editor with its own settings: no chooser, the window at the top left.
. "$repo/scripts/lib/editor-settings.sh"
use_editor_settings "$work"

# Where the Animation menu's title and its items are on that screen.
menu_x=165
item_x=200
first_item_y=30
resize_item_y=121

# Opens the Animation menu, then (with a y) clicks the item at that height
# and saves the dialog; without one rests on the first item and saves the
# screen with the menu open.
shoot() {
    local target="$1" item="${2:-}" y="${3:-}"
    (cd "$work" && xvfb-run --auto-servernum --server-args="-screen 0 900x620x24" bash -c '
        "$0" "$1" &
        editor=$!
        sleep 4
        xdotool mousemove "$5" 8 click 1
        sleep 0.7
        if [ -n "$3" ]; then
            xdotool mousemove "$6" "$4" click 1
            sleep 1.5
            dialog="$(xdotool search --name "^$3\$" | tail -1)"
            [ -n "$dialog" ] || { echo "no window \"$3\"" >&2; kill "$editor"; exit 1; }
            import -window "$dialog" "$2"
        else
            xdotool mousemove "$6" "$7"
            sleep 0.7
            import -window root "$2"
        fi
        kill "$editor"
    ' "$editor" "$animation" "$target" "$item" "$y" "$menu_x" "$item_x" "$first_item_y")
}
shoot "$out/animation-menu.png"
shoot "$out/animation-resize-dialog.png" "Resize animation" "$resize_item_y"

# File > Optimize opens the optimiser beside the preview; "16 colors" makes
# the refinement box usable.
(cd "$work" && xvfb-run --auto-servernum --server-args="-screen 0 900x620x24" bash -c '
    "$0" "$1" &
    editor=$!
    sleep 4
    xdotool mousemove 20 8 click 1
    sleep 0.7
    xdotool mousemove 60 163 click 1
    sleep 1.5
    xdotool mousemove 681 202 click 1
    sleep 0.3
    xdotool mousemove 600 540
    sleep 0.3
    import -window root "$2"
    kill "$editor"
' "$editor" "$animation" "$work/screen.png")
convert "$work/screen.png" -crop 364x398+428+90 +repage "$out/optimizer-refine.png"
echo "wrote $out/animation-*.png and $out/optimizer-refine.png"
