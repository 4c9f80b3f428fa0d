#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window's start-up under Xvfb, no emulation (the real USB bus is searched):
#   launch to first painted frame   median of 15 runs, target <= 0.3 s
#   resident memory when idle       VmRSS 2 s after the first frame, median, target <= 55 MB
# The settings and data folders are a scratch pair, filled by the warm-up runs as a
# returning user's would be.
# Usage: bench/window_startup.sh [BUILD_FOLDER]   (default: build-bench, a Release build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
program=$build/src/app/kestrum

command -v Xvfb >/dev/null || { echo "window_startup.sh: needs Xvfb (apt-get install xvfb)" >&2; exit 2; }
[ -x "$program" ] || { echo "window_startup.sh: no $program" >&2; exit 2; }

# shellcheck source=bench/scratch_display.sh
. "$root/bench/scratch_display.sh"
start_scratch_display window-startup 90 120

DISPLAY=":$display" python3 - "$program" "$scratch" <<'PYEOF'
import os, statistics, subprocess, sys, time

program, scratch = sys.argv[1], sys.argv[2]
env = dict(os.environ, KESTRUM_REPORT_FIRST_FRAME="1", QT_QPA_PLATFORM="xcb",
           XDG_CONFIG_HOME=os.path.join(scratch, "config"),
           XDG_DATA_HOME=os.path.join(scratch, "data"), HOME=scratch)
env.pop("KESTRUM_PROTOCOL_LOG", None)

def one_run():
    start = time.time_ns()
    p = subprocess.Popen([program], env=env, cwd=scratch, stderr=subprocess.PIPE, text=True)
    frame = None
    for line in p.stderr:
        if line.startswith("kestrum: first frame "):
            frame = int(line.split()[-1])
            break
    if frame is None:
        p.wait()
        sys.exit(f"window_startup.sh: the program ended ({p.returncode}) before its first frame")
    time.sleep(2.0)
    with open(f"/proc/{p.pid}/status") as status:
        rss_kb = next(int(l.split()[1]) for l in status if l.startswith("VmRSS:"))
    p.terminate()
    p.wait()
    return (frame - start) / 1e9, rss_kb / 1024.0

for _ in range(3):
    one_run()
runs = [one_run() for _ in range(15)]
launch = statistics.median(r[0] for r in runs)
rss = statistics.median(r[1] for r in runs)
verdict = lambda ok: "met" if ok else "MISSED"
print("kestrum window under Xvfb, no emulation, median of 15 runs:")
print(f"  launch to first frame  {launch*1e3:7.1f} ms   (min {min(r[0] for r in runs)*1e3:.1f}, "
      f"max {max(r[0] for r in runs)*1e3:.1f})   target <= 300 ms: {verdict(launch <= 0.3)}")
print(f"  idle resident memory   {rss:7.1f} MB   (min {min(r[1] for r in runs):.1f}, "
      f"max {max(r[1] for r in runs):.1f})   target <= 55 MB: {verdict(rss <= 55)}")
PYEOF
