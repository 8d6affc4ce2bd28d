#!/usr/bin/env bash
# The codec against giflib, file by file: throughput ratios and output sizes.
set -euo pipefail
build=${1:-build-release}
here=$(cd "$(dirname "$0")" && pwd)
python3 "$here/codec_summary.py" "$build/bench-results.json" "${ANIMORA_TESTDATA_DIR:-$here/../../shared/testdata}/corpus"
