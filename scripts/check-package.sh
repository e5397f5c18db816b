#!/usr/bin/env bash
# Builds the Debian package, has lintian check it (no error, no warning), unpacks it into a
# temporary root, checks that every program reports the package's version and that the
# monitoring unit verifies, and runs the unpacked calora-cli against the unpacked calora-sim
# once, so a package that misses a file fails.
#   scripts/check-package.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

cmake --build "$build" --target package
deb=$(ls -t "$build"/calora_*.deb | head -n 1)
root=$(mktemp -d)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$root"
}
trap cleanup EXIT

lintian --fail-on error,warning --tag-display-limit 0 "$deb"
dpkg-deb -x "$deb" "$root"
dpkg-deb -f "$deb" Depends | grep -q 'fonts-dseg' || { echo "package: no fonts-dseg dependency" >&2; exit 1; }
for f in usr/lib/calora/calora usr/bin/calora usr/bin/calora-cli usr/bin/calora-sim \
         usr/lib/calora/Languages/English.so usr/lib/calora/Languages/Espanol.so \
         usr/lib/calora/Languages/Italiano.so usr/lib/calora/calora.html \
         usr/share/applications/calora.desktop usr/share/icons/hicolor/scalable/apps/calora.svg \
         usr/share/doc/calora/copyright usr/share/doc/calora/changelog.gz \
         usr/share/man/man1/calora.1.gz usr/share/man/man1/calora-cli.1.gz \
         usr/share/man/man1/calora-sim.1.gz usr/share/doc/calora/examples/plant.conf \
         usr/share/bash-completion/completions/calora-cli \
         usr/lib/systemd/system/calora-monitor@.service; do
  [ -e "$root/$f" ] || { echo "package: $f is missing" >&2; exit 1; }
done

version=$(dpkg-deb -f "$deb" Version)
for program in calora calora-cli calora-sim; do
  said=$("$root/usr/bin/$program" --version)
  [ "$said" = "$program $version" ] || { echo "package: $program says '$said', the package is $version" >&2; exit 1; }
done
# The unit with its program and manual page taken from the unpacked root.
units="$root/units"
mkdir "$units"
sed "s|/usr/bin/|$root/usr/bin/|" "$root/usr/lib/systemd/system/calora-monitor@.service" \
  > "$units/calora-monitor@.service"
MANPATH="$root/usr/share/man" systemd-analyze verify "$units/calora-monitor@plant.service"

# The file exists before the sim opens it, so the first look cannot fail.
: > "$root/sim.out"
"$root/usr/bin/calora-sim" --tcp 0 --controllers 1-3 > "$root/sim.out" &
sim_pid=$!
port=
for _ in $(seq 1 100); do
  port=$(sed -n 's/^TCP_PORT=//p' "$root/sim.out")
  [ -n "$port" ] && grep -q READY "$root/sim.out" && break
  sleep 0.05
done
[ -n "$port" ] || { echo "package: calora-sim did not start" >&2; exit 1; }
"$root/usr/bin/calora-cli" read --tcp "127.0.0.1:$port" --address 2 > "$root/read.out"
grep -q . "$root/read.out"
echo "package: $(basename "$deb") unpacks and its calora-cli reads from its calora-sim"
