// The one main of animora_bench: every benchmark file registers itself.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
