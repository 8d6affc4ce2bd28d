#!/usr/bin/env bash
# Takes the user guide's pictures of the GIF wizard (docs/screenshots/wizard-*):
# each page of the wizard (the editor on a virtual X display, driven by
# xdotool, started from the toolbar's wizard button), and the frames of a
# banner that animora-cli wizard builds on the marble background.
#
#   scripts/wizard-screenshots.sh [build folder]
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
editor="$build/src/app/animora"
cli="$build/src/animora-cli"
marble="$build/src/app/Image/Marble.bmp"
out="$repo/docs/screenshots"
for tool in "$editor" "$cli" "$marble"; do
    [ -e "$tool" ] || { echo "no $tool (build it first)" >&2; exit 1; }
done

work="$(mktemp -d)"
chmod 700 "$work"
# The editor runs from /tmp/animora, with its Image folder beside it, so the
# pictures show a plain path rather than the build's.
installed=/tmp/animora
[ ! -e "$installed" ] || { echo "$installed is in the way" >&2; exit 1; }
trap 'rm -rf "$work" "$installed"' EXIT
mkdir -p "$installed"
cp "$editor" "$installed/animora"
cp -r "$(dirname "$marble")" "$installed/Image"
mkdir -p "$out"

# The banner: ten frames, the text falling in from the top and then coming up
# from the bottom (fall wall, Full round).
"$cli" wizard "$work/banner.gif" --frames 10 --background "$marble" --text "Hello Animora" --font-size 20 \
    --bold --color '#8a1c1c' --left 40 --top 80 --effect fallwall --full-round --loop
"$cli" frames "$work/banner.gif" "$work/banner" >/dev/null
montage "$work"/banner/*.pam -tile 5x2 -geometry 160x100+3+3 -background '#f4f4f4' "$work/result.png"
convert "$work/result.png" +dither -colors 64 "PNG8:$out/wizard-result.png"  # marble does not compress

# The editor with its own settings: no chooser, the window at the top left.
. "$repo/scripts/lib/editor-settings.sh"
use_editor_settings "$work"

# Screen places in the wizard (it opens at 160,70, 560 x 400): Next, Back,
# the text box, View, and the effect page's radio buttons by their row.
(cd "$work" && xvfb-run --auto-servernum --server-args="-screen 0 900x620x24" bash -c '
    out="$1"
    "$0" &
    editor=$!
    sleep 3
    next() { xdotool mousemove 570 447 click 1; sleep 0.8; }
    back() { xdotool mousemove 485 447 click 1; sleep 0.8; }
    shoot() { import -window "$(xdotool search --name "^Zelqo GIF Wizard\$" | tail -1)" "$out/wizard-$1.png"; }
    xdotool mousemove 121 36 click 1       # the toolbar'"'"'s wizard button
    sleep 1.5
    shoot background
    next
    xdotool mousemove 498 120 click 1 type "Hello Animora"
    xdotool mousemove 660 148 click 1      # View
    sleep 0.8
    shoot text
    next
    shoot effect
    for page in 174:fallwall 200:rain 226:moveapart 252:lines; do
        xdotool mousemove 315 "${page%%:*}" click 1
        next
        shoot "${page##*:}"
        back
    done
    kill "$editor"
 ' "$installed/animora" "$out")
echo "wrote $out/wizard-*.png"
