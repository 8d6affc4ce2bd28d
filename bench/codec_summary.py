#!/usr/bin/env python3
"""Summarises the decode/encode benchmarks: our codec against giflib.

Throughput is pixels per CPU second. The targets: our decode and LZW encode at
least as fast as giflib on every corpus file over 10 KB and in total, our LZW
output at most 1 % larger than giflib's for the same indices."""
import json
import os
import sys

SCALE = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def load(path):
    results = {}
    for bench in json.load(open(path))["benchmarks"]:
        # Other benchmark families share the results file; only codec runs count here.
        if bench.get("run_type") == "aggregate" or "px/s" not in bench:
            continue
        op, codec, name = bench["name"].split("/", 2)
        seconds = bench["cpu_time"] * SCALE[bench["time_unit"]]
        rate = bench["px/s"]
        results[(op, codec, name)] = {
            "seconds": seconds,
            "pixels": rate * seconds,
            "rate": rate,
            "bytes": bench.get("bytes"),
        }
    return results


def main():
    results = load(sys.argv[1])
    corpus = sys.argv[2] if len(sys.argv) > 2 else None
    names = sorted({name for (_, _, name) in results})
    header = f"{'file':32} {'KB':>6} | {'decode Mpx/s ours':>17} {'giflib':>7} {'ratio':>6} | " \
             f"{'encode Mpx/s ours':>17} {'giflib':>7} {'ratio':>6} | {'bytes ours':>10} {'giflib':>9} {'size':>7}"
    print(header)
    print("-" * len(header))
    totals = {key: {"seconds": 0.0, "pixels": 0.0} for key in
              [("decode", "ours"), ("decode", "giflib"), ("encode", "ours"), ("encode", "giflib")]}
    size_totals = [0, 0]
    misses = []
    for name in names:
        kb = os.path.getsize(os.path.join(corpus, name)) / 1024 if corpus else 0
        row = [f"{name:32} {kb:6.0f}"]
        for op in ("decode", "encode"):
            ours, theirs = results[(op, "ours", name)], results[(op, "giflib", name)]
            for codec, r in (("ours", ours), ("giflib", theirs)):
                totals[(op, codec)]["seconds"] += r["seconds"]
                totals[(op, codec)]["pixels"] += r["pixels"]
            ratio = ours["rate"] / theirs["rate"]
            if kb > 10 and ratio < 1:
                misses.append(f"{op} {name} ({ratio:.2f})")
            row.append(f"{ours['rate'] / 1e6:17.1f} {theirs['rate'] / 1e6:7.1f} {ratio:6.2f}")
        ours_bytes = results[("encode", "ours", name)]["bytes"]
        giflib_bytes = results[("encode", "giflib", name)]["bytes"]
        size_totals[0] += ours_bytes
        size_totals[1] += giflib_bytes
        share = 100.0 * ours_bytes / giflib_bytes
        if share > 101:
            misses.append(f"size {name} ({share:.1f} %)")
        row.append(f"{ours_bytes:10.0f} {giflib_bytes:9.0f} {share:6.1f}%")
        print(" | ".join(row))
    print("-" * len(header))
    row = [f"{'total':32} {'':6}"]
    for op in ("decode", "encode"):
        ours = totals[(op, "ours")]["pixels"] / totals[(op, "ours")]["seconds"]
        theirs = totals[(op, "giflib")]["pixels"] / totals[(op, "giflib")]["seconds"]
        if ours < theirs:
            misses.append(f"{op} total ({ours / theirs:.2f})")
        row.append(f"{ours / 1e6:17.1f} {theirs / 1e6:7.1f} {ours / theirs:6.2f}")
    row.append(f"{size_totals[0]:10.0f} {size_totals[1]:9.0f} {100.0 * size_totals[0] / size_totals[1]:6.1f}%")
    print(" | ".join(row))
    print()
    print("targets met" if not misses else "targets missed: " + ", ".join(misses))


if __name__ == "__main__":
    main()
