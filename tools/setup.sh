#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zelvar need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang-format lld
  qt6-base-dev libqt6sql6-sqlite libusb-1.0-0-dev libjpeg62-turbo-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  umockdev libumockdev-dev srecord binutils xvfb xauth fonts-wqy-microhei
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
