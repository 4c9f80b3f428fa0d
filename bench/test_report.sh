#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The test report of a 90-day long-term test (2,160 hourly rows), measured as
# the whole "kestrum-tool assess ... --report" process: median of 10 runs,
# target <= 1.5 s.
# Usage: bench/test_report.sh [BUILD_FOLDER]   (default: build-bench, a Release build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
tool=$build/src/tool/kestrum-tool
runs=10

command -v hyperfine >/dev/null || { echo "test_report.sh: needs hyperfine (apt-get install hyperfine)" >&2; exit 2; }
[ -x "$tool" ] || { echo "test_report.sh: no $tool" >&2; exit 2; }

scratch=$(mktemp -d /tmp/kestrum-test-report-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
"$tool" generate --model K8 --runs 1 --hours 2160 --start 2026-01-05T10:00 quarter.Rn
printf '%s\n' "01 1.30" "02 1.25" "03 1.10" "04 1.00" "05 0.85" "06 0.75" "07 0.70" \
  "08 0.75" "09 0.90" "10 1.05" "11 1.20" "12 1.30" "uncertainty=15" >profile.txt
report="$tool assess quarter.Rn --run 0 --protocol long-term --profile profile.txt --site Office --report quarter.pdf"
hyperfine --shell=none --warmup 2 --runs "$runs" --style none --export-json report.json \
  --output=null "$report" >/dev/null
pages=$(pdfinfo quarter.pdf 2>/dev/null | awk '/^Pages:/ {print $2}')
python3 - report.json "$runs" "${pages:-?}" "$(stat -c %s quarter.pdf)" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
median = r["median"] * 1e3
ok = "met" if median <= 1500 else "MISSED"
print(f"assess --report, 90-day long-term test, whole process, median of {sys.argv[2]} runs (hyperfine):")
print(f"  {median:7.1f} ms   target <= 1500 ms: {ok}   ({sys.argv[3]} pages, {int(sys.argv[4]) // 1024} KiB)")
PY
