#!/usr/bin/env bash
# Takes the user guide's pictures of the Effect menu (docs/screenshots/effect-*):
# the menu with its hint, each effect's dialog (the editor on a virtual X
# display, driven by xdotool), and a before-and-after picture of each effect
# made with animora-cli on a five-frame animation cut from a corpus painting
# (top row: the frames as they were; bottom row: after the effect).
#
#   scripts/effect-screenshots.sh [build folder]
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
editor="$build/src/app/animora"
cli="$build/src/animora-cli"
painting="$repo/../shared/testdata/corpus/harvesters.gif"
out="$repo/docs/screenshots"
for tool in "$editor" "$cli"; do
    [ -x "$tool" ] || { echo "no $tool (build it first)" >&2; exit 1; }
done

work="$(mktemp -d)"
chmod 700 "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# Four frames of a pale landscape and a last frame of the harvesters.
convert "$painting" -crop 560x420+0+0 +repage -resize '160x120!' "$work/a.png"
convert "$painting" -crop 560x420+600+420 +repage -resize '160x120!' "$work/b.png"
convert "$work/a.png" "$work/a.png" "$work/a.png" "$work/a.png" "$work/b.png" -loop 0 "$work/in.gif"
"$cli" frames "$work/in.gif" "$work/before" >/dev/null

before_after() {
    local name="$1"
    shift
    "$cli" effect "$work/in.gif" "$work/$name.gif" "$@"
    "$cli" frames "$work/$name.gif" "$work/$name" >/dev/null
    montage "$work"/before/*.pam "$work/$name"/*.pam -tile 5x2 -geometry +3+3 -background '#f4f4f4' \
        "$out/effect-$name.png"
}
before_after fallwall --effect fallwall --count 5 --direction left-right
before_after rain --effect rain --count 5 --seed 7
before_after moveapart --effect moveapart --count 5
before_after lines --effect lines --first 2 --count 4

# The editor with its own settings: no chooser, the window at the top left.
. "$repo/scripts/lib/editor-settings.sh"
use_editor_settings "$work"

# Opens the Effect menu, then (with a y) clicks the item at that height and
# saves the dialog; without one saves the screen with the menu open.
shoot() {
    local target="$1" item="${2:-}" y="${3:-}"
    (cd "$work" && xvfb-run --auto-servernum --server-args="-screen 0 900x620x24" bash -c '
        "$0" "$1" &
        editor=$!
        sleep 3
        xdotool mousemove 308 8 click 1
        sleep 0.7
        if [ -n "$3" ]; then
            xdotool mousemove 326 "$4" click 1
            sleep 1.5
            import -window "$(xdotool search --name "^$3\$" | tail -1)" "$2"
        else
            xdotool mousemove 326 30
            sleep 0.7
            import -window root "$2"
        fi
        kill "$editor"
    ' "$editor" "$work/in.gif" "$target" "$item" "$y")
}
shoot "$out/effect-menu.png"
shoot "$out/effect-fallwall-dialog.png" "Fall wall" 29
shoot "$out/effect-rain-dialog.png" "Rain" 51
shoot "$out/effect-moveapart-dialog.png" "Move apart" 73
shoot "$out/effect-lines-dialog.png" "Lines" 95
echo "wrote $out/effect-*.png"
