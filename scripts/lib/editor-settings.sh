# Sourced by the screenshot scripts: gives the editor under xvfb a settings
# folder of its own in WORK, with no start-up chooser and the main window at
# the top left of a 900 x 620 screen, so every picture is taken at the same
# places.
#
#   . scripts/lib/editor-settings.sh; use_editor_settings "$work"
use_editor_settings() {
    local work="$1"
    mkdir -p "$work/config/Zelqo"
    cat > "$work/config/Zelqo/Animora.conf" <<CONF
[Option]
ShowOpenWiz=0
Left=0
Top=0
Width=900
Heigth=620
PreviewLeft=8
PreviewTop=8
PreviewWidth=420
PreviewHeight=300
CONF
    export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
}
