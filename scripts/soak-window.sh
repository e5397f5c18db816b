#!/usr/bin/env bash
# Soak run of the monitoring window itself (not part of CI): the window with its three views
# (shown in turn, sixteen line-graph curves drawn, one log file) over 72 simulated
# controllers on Modbus TCP, period 1 s, under Xvfb. Resident memory is sampled each minute;
# it should stay flat (within 5 %) after the first ten minutes.
# Usage: scripts/soak-window.sh [BUILD_DIR] [MINUTES]
set -euo pipefail

build=${1:-build}
minutes=${2:-30}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d /tmp/calora-soak-window.XXXXXX)
port=$((20000 + RANDOM % 20000))
sim_pid=
cleanup() {
    [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

"$bin/calora-sim" --tcp "$port" --controllers 1-72 >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done

xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$bin/bench_window_soak" 127.0.0.1 "$port" "$minutes" "$work" | tee "$work/rss.txt"

# Flat after the first ten minutes: the largest against the smallest sample from minute 10 on.
awk -v from=10 '$1 ~ /^[0-9]+$/ && $1 >= from { if (lo == "" || $2 < lo) lo = $2; if ($2 > hi) hi = $2 }
    END { if (lo != "") printf "resident memory from minute %d on: %d .. %d kB (%.1f %%)\n",
                              from, lo, hi, 100 * (hi - lo) / lo }' "$work/rss.txt"
echo "graph files: $(find "$work/gf" -type f | wc -l) in $work/gf; work files in $work"
