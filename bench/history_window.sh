#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The history window on ten years of one instrument (532 downloads, 87,780 hours), in the
# real window under Xvfb, median of 5 runs:
#   Main > History... to the window drawn                target <= 0.2 s
#   select every run to chart and summary drawn          target <= 0.15 s
#   resident memory afterwards                           target <= 70 MB
# Usage: bench/history_window.sh [BUILD_FOLDER]   (default: build-bench, a Release build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
program=$build/src/app/kestrum
tool=$build/src/tool/kestrum-tool

command -v Xvfb >/dev/null || { echo "history_window.sh: needs Xvfb (apt-get install xvfb)" >&2; exit 2; }
[ -x "$program" ] && [ -x "$tool" ] || { echo "history_window.sh: no $program or $tool" >&2; exit 2; }

# shellcheck source=bench/scratch_display.sh
. "$root/bench/scratch_display.sh"
start_scratch_display history-window 121 150

DISPLAY=":$display" python3 - "$program" "$tool" "$scratch" <<'PYEOF'
import datetime, os, statistics, subprocess, sys

program, tool, scratch = sys.argv[1], sys.argv[2], sys.argv[3]
env = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=os.path.join(scratch, "config"),
           XDG_DATA_HOME=os.path.join(scratch, "data"), HOME=scratch)
env.pop("KESTRUM_PROTOCOL_LOG", None)

# 532 downloads of a week each (165 hours), one after the other from 2016 on.
files = []
start = datetime.datetime(2016, 1, 4, 10, 0)
for n in range(532):
    name = os.path.join(scratch, f"week{n:03d}.Rn")
    begin = start + datetime.timedelta(hours=165 * n)
    subprocess.run([tool, "generate", "--model", "K8", "--runs", "1", "--hours", "165",
                    "--seed", str(n + 1), "--start", begin.strftime("%Y-%m-%dT%H:%M"), name],
                   env=env, check=True, stdout=subprocess.DEVNULL)
    files.append(name)
subprocess.run([tool, "history", "import", "--instrument", "K8-TENYEARS", "--now",
                "2026-12-01T00:00:00"] + files, env=env, check=True, stdout=subprocess.DEVNULL)

figures = {"history window": [], "select all": [], "rss": []}
for _ in range(5):
    run = subprocess.run([program], env=dict(env, KESTRUM_REPORT_HISTORY_TIMING="1"), cwd=scratch,
                         stderr=subprocess.PIPE, text=True, timeout=120)
    for line in run.stderr.splitlines():
        for key in figures:
            if line.startswith("kestrum: " + key + " "):
                figures[key].append(int(line.split()[-1]))
    if not figures["select all"]:
        sys.exit("history_window.sh: the program reported nothing:\n" + run.stderr)
print(f"History... to the window drawn   median {statistics.median(figures['history window'])} ms"
      f"  (runs: {figures['history window']})")
print(f"select all to chart and summary  median {statistics.median(figures['select all'])} ms"
      f"  (runs: {figures['select all']})")
print(f"resident memory afterwards       median {statistics.median(figures['rss']) / 1024:.1f} MB")
PYEOF
