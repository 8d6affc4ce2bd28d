#!/usr/bin/env bash
# Runs every benchmark of a release build folder (default build-release), then
# any comparison scripts beside this one (bench/compare-*.sh), which read the
# results from $build/bench-results.json.
set -euo pipefail
build=${1:-build-release}
here=$(cd "$(dirname "$0")" && pwd)
"$build/bench/animora_bench" --benchmark_counters_tabular=true \
    --benchmark_out="$build/bench-results.json" --benchmark_out_format=json
if [ -x "$build/bench/animora_app_bench" ]; then
    "$build/bench/animora_app_bench" --benchmark_counters_tabular=true
fi
for script in "$here"/compare-*.sh; do
    [ -e "$script" ] || continue
    "$script" "$build"
done
