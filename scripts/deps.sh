#!/usr/bin/env bash
# Installs whatever build and test packages are missing (Debian 12).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libbenchmark-dev qt6-base-dev qt6-svg-dev
          libgl-dev xvfb xauth fonts-wqy-microhei clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
