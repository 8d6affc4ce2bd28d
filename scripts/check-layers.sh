#!/usr/bin/env bash
# The layers, checked in the sources (the build's include roots enforce the
# same from the other side, cmake/AnimoraLayers.cmake):
#   - a folder includes headers of the folders below it only;
#   - the engine (platform, color, gif) and the effects include no Qt header;
#   - the public headers of the formats (those included from outside
#     src/formats, and what they include in turn) name no Qt type, so their
#     users need no QtGui.
#
#   scripts/check-layers.sh [SRC]      check SRC (default: the repository's src)
#   scripts/check-layers.sh --self-test
#                                      check that the check catches what it should
set -euo pipefail

# What each folder may include besides itself and libraries from outside.
declare -A allowed=(
    [platform]=""
    [color]="platform"
    [gif]="platform color"
    [qtbridge]="platform"
    [formats]="platform color gif qtbridge"
    [effects]="platform color gif formats"
    [edits]="platform color gif formats effects"
    [widgets]=""
    [wizard]="platform color gif qtbridge formats effects"
    [cli]="platform color gif formats effects edits wizard"
    [app]="platform color gif qtbridge formats effects edits widgets wizard"
)
qt_free="platform color gif effects edits"
# Layers that use QtGui inside but whose headers name no Qt type, so the
# command line includes them without Qt (the wizard draws its text with Qt).
qt_free_headers="wizard"

# Lines of `file` that include a header of our own: "folder/header".
own_includes() {
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/\([^"]*\)".*/\1\/\2/p' "$1"
}

sources_of() {
    find "$1" -type f \( -name '*.h' -o -name '*.cpp' \) | sort
}

check_folder_includes() {
    local src="$1" folder="$2" file included layer failed=0
    [ -d "$src/$folder" ] || return 0
    while IFS= read -r file; do
        while IFS= read -r included; do
            layer="${included%%/*}"
            [ "$layer" = "$folder" ] && continue
            if [[ " ${allowed[$folder]} " != *" $layer "* ]]; then
                echo "${file#"$src"/}: includes $included; $folder may include only: ${allowed[$folder]:-itself}"
                failed=1
            fi
        done < <(own_includes "$file")
        if [[ " $qt_free " == *" $folder "* ]] &&
            grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*|q[a-z0-9_]*\.h)>' "$file" |
            sed "s|^|${file#"$src"/}:|;s|$| (no Qt in $folder)|" | grep .; then
            failed=1
        fi
    done < <(sources_of "$src/$folder")
    return $failed
}

# The formats' headers reached from outside the folder, followed through the
# formats' own includes.
public_formats_headers() {
    local src="$1" file header
    local -A seen=()
    local queue=()
    while IFS= read -r file; do
        case "$file" in "$src/formats/"*) continue ;; esac
        while IFS= read -r header; do
            [[ "$header" == formats/* ]] && queue+=("$header")
        done < <(own_includes "$file")
    done < <(sources_of "$src")
    while [ ${#queue[@]} -gt 0 ]; do
        header="${queue[0]}"
        queue=("${queue[@]:1}")
        [ -n "${seen[$header]:-}" ] || [ ! -f "$src/$header" ] && continue
        seen[$header]=1
        echo "$header"
        while IFS= read -r file; do
            [[ "$file" == formats/* ]] && queue+=("$file")
        done < <(own_includes "$src/$header")
    done
}

check_formats_public_headers() {
    local src="$1" header failed=0
    while IFS= read -r header; do
        # Comments may name Qt classes; code may not.
        if sed 's|//.*$||' "$src/$header" |
            grep -nE '\bQ[A-Z][A-Za-z]*\b|#[[:space:]]*include[[:space:]]*<Q' |
            sed "s|^|$header:|;s|$| (a public header of formats names Qt)|" | grep .; then
            failed=1
        fi
    done < <(public_formats_headers "$src")
    return $failed
}

check_qt_free_headers() {
    local src="$1" folder header failed=0
    for folder in $qt_free_headers; do
        [ -d "$src/$folder" ] || continue
        while IFS= read -r header; do
            if sed 's|//.*$||' "$header" |
                grep -nE '\bQ[A-Z][A-Za-z]*\b|#[[:space:]]*include[[:space:]]*<Q' |
                sed "s|^|${header#"$src"/}:|;s|$| (a header of $folder names Qt)|" | grep .; then
                failed=1
            fi
        done < <(find "$src/$folder" -type f -name '*.h' | sort)
    done
    return $failed
}

check_tree() {
    local src="$1" folder failed=0
    for folder in "${!allowed[@]}"; do
        check_folder_includes "$src" "$folder" || failed=1
    done
    check_qt_free_headers "$src" || failed=1
    check_formats_public_headers "$src" || failed=1
    return $failed
}

# A small tree that passes, then one fault at a time that must fail it.
self_test() {
    local work case expected failed=0
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' RETURN
    make_tree() {
        rm -rf "$work/src"
        mkdir -p "$work/src"/{platform,color,gif,formats,effects,wizard,app}
        printf '#pragma once\n#include <vector>\n' > "$work/src/platform/Bitmap.h"
        printf '#include "platform/Bitmap.h"\n' > "$work/src/color/Dib.cpp"
        printf '#include "color/Dib.h"\n#include "platform/Bitmap.h"\n' > "$work/src/gif/Image.cpp"
        printf '#pragma once\n// drawn through QPainter\n#include "formats/Kinds.h"\n' > "$work/src/formats/Picture.h"
        printf '#pragma once\nenum class Kind { gif };\n' > "$work/src/formats/Kinds.h"
        printf '#pragma once\n#include <QImage>\nQImage Render();\n' > "$work/src/formats/Internal.h"
        printf '#include "gif/Image.h"\n#include "formats/Picture.h"\n' > "$work/src/effects/Fade.cpp"
        printf '#include <QWidget>\n#include "formats/Picture.h"\n' > "$work/src/app/Window.cpp"
        printf '#pragma once\n// text through QPainter\n#include "formats/Picture.h"\n' > "$work/src/wizard/Wizard.h"
        printf '#include <QPainter>\n#include "wizard/Wizard.h"\n' > "$work/src/wizard/Wizard.cpp"
    }
    # case: file to append to | line | expected result
    local cases=(
        "||pass"
        "src/color/Dib.cpp|#include \"gif/GIFException.h\"|fail"
        "src/platform/Bitmap.h|#include \"color/Dib.h\"|fail"
        "src/gif/Image.cpp|#include \"formats/Picture.h\"|fail"
        "src/effects/Fade.cpp|#include \"app/Window.h\"|fail"
        "src/app/Window.cpp|#include \"cli/Command.h\"|fail"
        "src/platform/Bitmap.h|#include <QImage>|fail"
        "src/gif/Image.cpp|#  include <QtCore/QString>|fail"
        "src/effects/Fade.cpp|#include <qglobal.h>|fail"
        "src/formats/Picture.h|QImage Still();|fail"
        "src/formats/Kinds.h|#include <QColor>|fail"
        "src/formats/Internal.h|QPainter* painter;|pass"
        "src/gif/Image.cpp|// QImage would be slower here|pass"
        "src/wizard/Wizard.h|QFont Font();|fail"
        "src/wizard/Wizard.cpp|#include \"effects/Fade.h\"|pass"
    )
    for case in "${cases[@]}"; do
        IFS='|' read -r file line expected <<< "$case"
        make_tree
        [ -n "$file" ] && printf '%s\n' "$line" >> "$work/$file"
        if check_tree "$work/src" > /dev/null; then result=pass; else result=fail; fi
        if [ "$result" != "$expected" ]; then
            echo "self-test: '${line:-clean tree}' in ${file:-the tree}: expected $expected, got $result"
            failed=1
        fi
    done
    [ $failed -eq 0 ] && echo "self-test: ${#cases[@]} cases as expected"
    return $failed
}

if [ "${1:-}" = "--self-test" ]; then
    self_test
    exit $?
fi
src="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"
if check_tree "$src"; then
    echo "layers: every include goes down"
else
    echo "layers: the includes above break the layering (see docs/architecture.md, Layers)"
    exit 1
fi
