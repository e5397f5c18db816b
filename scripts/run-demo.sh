#!/usr/bin/env bash
# Builds Calora and starts it on its embedded simulated bus (no hardware, no saved settings touched).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target calora calora-sim calora-cli calora_languages
exec ./build/bin/calora --demo
