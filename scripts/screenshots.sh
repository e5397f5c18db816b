#!/usr/bin/env bash
# Writes pictures of the windows into docs/ (or the folder given): run by hand and before each
# release, then look at them. Uses a private profile, so your settings are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs}")
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target calora-screenshots
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$out"
CALORA_SCREENSHOT_DIR="$out" CALORA_TEST_BIN="$PWD/build/bin" QT_QPA_PLATFORM=offscreen \
  XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
  build/bin/calora-screenshots "${@:2}"
echo "screenshots written to $out"
