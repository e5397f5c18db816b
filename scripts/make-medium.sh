#!/usr/bin/env bash
# Lays out a distribution medium in a folder: the launcher "start" at its root, the Debian
# package under Install/Calora/ and Manual/ for the controllers' manuals.
#   scripts/make-medium.sh [FOLDER]      (default: build/medium)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${CALORA_BUILD_DIR:-build}
out=${1:-$build/medium}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target start
cmake --build "$build" --target package
deb=$(ls "$build"/calora_*.deb | sort -V | tail -n 1)

rm -rf "$out"
mkdir -p "$out/Install/Calora" "$out/Manual"
cp "$build/bin/start" "$out/"
cp "$deb" "$out/Install/Calora/"
# Desktops that look for it offer to run the launcher when the medium is mounted.
cat > "$out/autorun.sh" <<'AUTORUN'
#!/bin/sh
exec "$(dirname "$0")/start"
AUTORUN
chmod +x "$out/autorun.sh"
cat > "$out/Manual/LEGGIMI.txt" <<'MANUAL'
I manuali d'istruzione dei regolatori TQ e TQ100 (TQManITAV1_3.pdf, TQManUKV1_2.pdf,
TQ100Man_ITAV1_4.pdf) non sono inclusi in questo supporto: richiederli al costruttore.

The TQ and TQ100 controller manuals (TQManITAV1_3.pdf, TQManUKV1_2.pdf,
TQ100Man_ITAV1_4.pdf) are not included on this medium: ask the controllers' maker for them.
MANUAL

echo "Medium laid out in $out:"
(cd "$out" && find . -type f | sort)
