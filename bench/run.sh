#!/usr/bin/env bash
# Runs every benchmark of a release build folder (default build-release), then
# any comparison scripts beside this one (bench/compare-*.sh).
set -euo pipefail
build=${1:-build-release}
here=$(cd "$(dirname "$0")" && pwd)
"$build/bench/animora_bench" --benchmark_counters_tabular=true
for script in "$here"/compare-*.sh; do
    [ -e "$script" ] || continue
    "$script" "$build"
done
