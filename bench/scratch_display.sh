# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the window benchmarks: a scratch folder and an Xvfb display of their own,
# both gone when the script ends (KEEP_SCRATCH=1 keeps the folder and names it).
# Usage: start_scratch_display NAME FIRST_DISPLAY LAST_DISPLAY
#   sets $scratch and $display; the caller runs its program with DISPLAY=":$display".
start_scratch_display() {
  local name=$1 first=$2 last=$3
  scratch=$(mktemp -d "/tmp/kestrum-$name-XXXXXX")
  display=
  xvfb_pid=
  trap 'cleanup_scratch_display' EXIT
  [ -n "${KEEP_SCRATCH:-}" ] && trap - EXIT && echo "scratch: $scratch" >&2
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=$n; break; }
  done
  [ -n "$display" ] || { echo "$name: no free display number" >&2; exit 2; }
  Xvfb ":$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
}

cleanup_scratch_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
