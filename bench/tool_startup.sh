#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process figures of kestrum-tool against the in-process decode:
#   kestrum-tool --version                       median of 15 runs, target <= 15 ms
#   kestrum-tool decode samples/k8-sample.Rn     median of 15 runs, target <= Records/Decode/K8 + 10 ms
# The decode also writes "k5dat.tmp" and "debug.tmp" (each synced to disk), so
# Records/DecodeWithFiles/K8 is shown beside it.
# Usage: bench/tool_startup.sh [BUILD_FOLDER]   (default: build-bench, a Release build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
tool=$build/src/tool/kestrum-tool
bench=$build/bench/kestrum_bench
sample=$root/samples/k8-sample.Rn
runs=15

command -v hyperfine >/dev/null || { echo "tool_startup.sh: needs hyperfine (apt-get install hyperfine)" >&2; exit 2; }
[ -x "$tool" ] || { echo "tool_startup.sh: no $tool" >&2; exit 2; }
[ -x "$bench" ] || { echo "tool_startup.sh: no $bench" >&2; exit 2; }

scratch=$(mktemp -d /tmp/kestrum-tool-startup-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"  # decode leaves its files in the current folder

hyperfine --shell=none --warmup 3 --runs "$runs" --style none \
  --export-json "$scratch/tool.json" "$tool --version" "$tool decode $sample" >/dev/null
"$bench" --benchmark_filter='^Records/Decode(WithFiles)?/K8$' --benchmark_repetitions=5 \
  --benchmark_format=json >"$scratch/decode.json" 2>/dev/null

python3 - "$scratch/tool.json" "$scratch/decode.json" "$runs" <<'EOF'
import json, sys

tool = {r["command"].split()[1]: r for r in json.load(open(sys.argv[1]))["results"]}
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
inproc = {b["run_name"]: b["real_time"] * scale[b["time_unit"]]
          for b in json.load(open(sys.argv[2]))["benchmarks"]
          if b.get("aggregate_name") == "median"}
version = tool["--version"]["median"] * 1e3
decode = tool["decode"]["median"] * 1e3
plain = inproc["Records/Decode/K8"]
files = inproc["Records/DecodeWithFiles/K8"]

def verdict(ok):
    return "met" if ok else "MISSED"

print(f"kestrum-tool, whole process, median of {sys.argv[3]} runs (hyperfine):")
print(f"  --version                      {version:7.2f} ms   target <= 15 ms: {verdict(version <= 15)}")
print(f"  decode k8-sample.Rn            {decode:7.2f} ms   (user {tool['decode']['user']*1e3:.1f} ms, "
      f"system {tool['decode']['system']*1e3:.1f} ms, means)")
print("In-process, median of 5 repetitions (kestrum_bench):")
print(f"  Records/Decode/K8              {plain:7.2f} ms")
print(f"  Records/DecodeWithFiles/K8     {files:7.2f} ms")
print(f"decode above Records/Decode/K8:          {decode - plain:7.2f} ms   target <= 10 ms: "
      f"{verdict(decode - plain <= 10)}")
print(f"decode above Records/DecodeWithFiles/K8: {decode - files:7.2f} ms")
EOF
