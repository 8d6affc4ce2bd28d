#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking need.
# Idempotent: does nothing when everything is present. Runs as root on CI;
# elsewhere it asks sudo.
set -euo pipefail

packages=(
    # toolchain
    build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libgif-dev gifsicle imagemagick libjpeg-turbo-progs pngquant
    ffmpeg sane-utils  # make the videos and drive the scanner the tests use
    inkscape  # writes the WMF and EMF files the metafile tests play
    # product libraries
    qt6-base-dev libjpeg62-turbo-dev adwaita-icon-theme
    fonts-dejavu-core  # the GIF wizard's default text font (DejaVu Sans)
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev  # video in and out
    libsane-dev  # scanners
    # the editor's screenshot (scripts/screenshot.sh)
    xvfb xauth xdotool
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
