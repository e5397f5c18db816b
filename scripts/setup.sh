#!/usr/bin/env bash
# Installs every Debian package Calora needs to build, run and test. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libboost-dev
  fonts-dseg fonts-dejavu-core
  socat libmodbus-dev mbpoll
  xvfb xauth imagemagick ccache
  dpkg-dev file locales
  lintian help2man man-db bash-completion systemd
  libmosquitto-dev mosquitto mosquitto-clients
)

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
# A locale whose decimal separator is a comma: the tests check that logs do not follow it.
if ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
  $sudo localedef -i it_IT -c -f UTF-8 it_IT.UTF-8
fi
# The tests start brokers of their own; a system broker installed with the package is not
# needed and would hold the standard port.
if command -v systemctl >/dev/null 2>&1 && systemctl is-enabled --quiet mosquitto 2>/dev/null; then
  $sudo systemctl disable --now mosquitto || true
fi
echo "setup: all packages present"
