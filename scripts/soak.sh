#!/usr/bin/env bash
# Soak run of headless monitoring (not part of CI): calora-cli monitor on 72 simulated
# controllers over Modbus TCP, period 1 s, with a silent controller, an intermittently silent
# one and two that answer with exceptions.
#   1. A short run killed with SIGKILL part-way: every cycle the program reported as
#      complete must have its row on disk, and no row may be cut.
#   2. The long run (default 30 minutes), stopped with SIGTERM: cycles, rows, resident
#      memory after the first cycle and at the end, exit status.
# Usage: scripts/soak.sh [BUILD_DIR] [MINUTES]
set -euo pipefail

build=${1:-build}
minutes=${2:-30}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d /tmp/calora-soak.XXXXXX)
port=$((20000 + RANDOM % 20000))
sim_pid=
mon_pid=
cleanup() {
    [[ -n $mon_pid ]] && kill "$mon_pid" 2>/dev/null || true
    [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

# A configuration file: TQ100 tag and 54 register words (zeros; words a register refuses are
# skipped), log mode 1, then the monitoring list of 72 enabled entries, period 1 s, every
# column. Strings are length-prefixed Windows-1252 ("ºC" is BA 43).
python3 - "$work/soak.TQ" <<'PY'
import struct, sys
def s(text):
    b = text.encode('cp1252')
    return bytes([len(b)]) + b
data = s('TQ.100') + struct.pack('<54h', *([0] * 54)) + struct.pack('<i', 1)
data += struct.pack('<hii', 72, 127, 1)
for a in range(1, 73):
    data += struct.pack('<iB', 1, a) + s('Zona %d' % a) + s('\u00baC')
open(sys.argv[1], 'wb').write(data)
PY

"$bin/calora-sim" --tcp "$port" --controllers 1-72 \
    --fault 9:silent:1 --fault 27:silent:0.5 \
    --fault 40:exception:1 --fault 58:exception:1:2 >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
cycles_in() { grep -c '^cycle ' "$1" || true; }
# Rows of a mode-1 log: every line after the two header lines.
rows_in() { local f; f=$(find "$1" -name '*.log' | head -n1); echo $(( $(wc -l <"$f") - 2 )); }

echo "== 1. SIGKILL part-way"
"$bin/calora-cli" monitor "$work/soak.TQ" --tcp "127.0.0.1:$port" --logs "$work/kill" \
    >"$work/kill.out" 2>"$work/kill.err" &
mon_pid=$!
sleep $((20 + RANDOM % 20))
kill -9 "$mon_pid"; wait "$mon_pid" 2>/dev/null || true; mon_pid=
reported=$(cycles_in "$work/kill.out")
log=$(find "$work/kill" -name '*.log' | head -n1)
rows=$(rows_in "$work/kill")
last_char=$(tail -c1 "$log" | od -An -c | tr -d ' ')
echo "cycles reported complete: $reported; rows on disk: $rows; last byte: '$last_char'"
if (( rows < reported || rows > reported + 1 )) || [[ $last_char != '\n' ]]; then
    echo "FAIL: the log does not hold exactly the completed rows"; exit 1
fi
echo "ok: every completed row is on disk, none cut"

echo "== 2. $minutes minutes, then SIGTERM"
"$bin/calora-cli" monitor "$work/soak.TQ" --tcp "127.0.0.1:$port" --logs "$work/long" \
    >"$work/long.out" 2>"$work/long.err" &
mon_pid=$!
start=$(date +%s)
until grep -q '^cycle 1:' "$work/long.out" 2>/dev/null; do sleep 0.2; done
rss_start=$(rss_kb "$mon_pid")
sleep $((minutes * 60))
rss_end=$(rss_kb "$mon_pid")
kill -TERM "$mon_pid"
status=0; wait "$mon_pid" || status=$?; mon_pid=
elapsed=$(( $(date +%s) - start ))
cycles=$(cycles_in "$work/long.out")
rows=$(rows_in "$work/long")
echo "ran ${elapsed} s; exit status $status"
echo "cycles: $cycles; rows written: $rows"
echo "resident memory after the first cycle: ${rss_start} kB; at the end: ${rss_end} kB"
echo "cycle time, ms (min / median / max):" \
    "$(grep '^cycle ' "$work/long.out" | sed 's/.*, \([0-9]*\) ms/\1/' | sort -n |
       awk '{a[NR]=$1} END {print a[1], "/", a[int((NR+1)/2)], "/", a[NR]}')"
echo "last cycle line: $(grep '^cycle ' "$work/long.out" | tail -n1)"
if (( status != 0 || rows != cycles )); then
    echo "FAIL"; exit 1
fi
echo "ok; work files in $work"
