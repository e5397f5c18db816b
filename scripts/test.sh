#!/usr/bin/env bash
# Builds everything and runs every test, checks the Debian package (and, with
# CALORA_CHECK_INSTALL=1, installs and purges it), then builds the core alone
# under AddressSanitizer and UndefinedBehaviorSanitizer and runs its tests again.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
# The Debian package holds what the program needs: lintian accepts it and, unpacked, its
# tools talk to each other.
scripts/check-package.sh build
# Installing it with apt changes the machine: only where CI asks for it.
if [ "${CALORA_CHECK_INSTALL:-0}" = 1 ]; then
  scripts/check-install.sh build
fi

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCALORA_WITH_UI=OFF \
  -DCALORA_SANITIZE=ON -DCALORA_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
