#!/usr/bin/env bash
# Installs the built Debian package with apt, checks the installed programs, manual page and
# monitoring service, then purges the package. It changes the machine: CI runs it as root on
# a machine it throws away (.ci/run sets CALORA_CHECK_INSTALL=1 for scripts/test.sh).
#   scripts/check-install.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ "$(id -u)" -eq 0 ] || { echo "install check: needs root" >&2; exit 1; }

deb=$(ls -t "$build"/calora_*.deb | head -n 1)
version=$(dpkg-deb -f "$deb" Version)
work=$(mktemp -d)
plant=calora-ci-$$
sim_pid=
installed=
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work" "/etc/calora/$plant.TQ" "/etc/calora/$plant.conf" "/var/lib/calora/$plant"
  rmdir /etc/calora /var/lib/calora 2>/dev/null || true
  if [ -n "$installed" ]; then DEBIAN_FRONTEND=noninteractive apt-get purge -y calora > /dev/null || true; fi
}
trap cleanup EXIT

installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "./$deb"
for program in calora calora-cli calora-sim; do
  [ "$($program --version)" = "$program $version" ] || { echo "install check: $program --version" >&2; exit 1; }
  man -w "$program" > /dev/null
done
# The unit as installed: its binaries and manual page exist now.
unit=$(dirname "$(dpkg -L calora | grep '/calora-monitor@\.service$')")
systemd-analyze verify "$unit/calora-monitor@$plant.service"

# The file exists before the sim opens it, so the first look cannot fail.
: > "$work/sim.out"
calora-sim --tcp 0 --no-wire-time > "$work/sim.out" &
sim_pid=$!
port=
for _ in $(seq 1 100); do
  port=$(sed -n 's/^TCP_PORT=//p' "$work/sim.out")
  [ -n "$port" ] && grep -q READY "$work/sim.out" && break
  sleep 0.05
done
[ -n "$port" ] || { echo "install check: calora-sim did not start" >&2; exit 1; }
calora-cli read --tcp "127.0.0.1:$port" --address 2 | grep -q .

# The service's own command line, as systemd runs it for an instance: the example file with
# its connection replaced, the instance name for %i, CALORA_OPTIONS split at blanks.
mkdir -p /etc/calora "/var/lib/calora/$plant"
calora-cli config save "/etc/calora/$plant.TQ" --address 1 --tcp "127.0.0.1:$port"
sed "s|^CALORA_OPTIONS=.*|CALORA_OPTIONS=\"--tcp 127.0.0.1:$port --period 1 --log-mode 1\"|" \
  /usr/share/doc/calora/examples/plant.conf > "/etc/calora/$plant.conf"
command=$(sed -n 's/^ExecStart=//p' "$unit/calora-monitor@.service" | sed "s/%i/$plant/g")
(set -a; . "/etc/calora/$plant.conf"; set +a; eval "$command --cycles 2") > "$work/monitor.out"
grep -q '^cycle 2: 72 read, 0 failed' "$work/monitor.out" || { cat "$work/monitor.out" >&2; exit 1; }
rows=$(find "/var/lib/calora/$plant" -type f -exec cat {} + | grep -c '^[0-9]' || true)
[ "$rows" -ge 2 ] || { echo "install check: the service logged $rows rows" >&2; exit 1; }

kill "$sim_pid"; wait "$sim_pid" || true; sim_pid=
DEBIAN_FRONTEND=noninteractive apt-get purge -y calora
installed=
if dpkg-query -W -f='${Status}' calora 2>/dev/null | grep -q 'install ok installed'; then
  echo "install check: calora is still installed after the purge" >&2; exit 1
fi
[ ! -e /usr/bin/calora-cli ] || { echo "install check: /usr/bin/calora-cli left behind" >&2; exit 1; }
echo "install check: calora $version installs, runs its service command and purges"
