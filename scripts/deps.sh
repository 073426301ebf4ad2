#!/usr/bin/env bash
# Installs whatever packages are missing (Debian 12).
#   deps.sh run    what building and running the program needs
#   deps.sh core   what building and testing the Qt-free core needs
#   deps.sh package  what building the Debian package needs
#   deps.sh test   everything the tests, sanitizer runs and benchmarks need (default)
set -euo pipefail
build=(g++ cmake ninja-build pkg-config nlohmann-json3-dev)
gui=(qt6-base-dev qt6-svg-dev libgl-dev fonts-wqy-microhei xvfb xauth)
case "${1:-test}" in
  run) packages=("${build[@]}" "${gui[@]}" qt6-translations-l10n) ;;
  package) packages=("${build[@]}" "${gui[@]}" dpkg-dev file) ;;
  core) packages=("${build[@]}" libgtest-dev) ;;
  test) packages=("${build[@]}" "${gui[@]}" qt6-translations-l10n libgtest-dev libbenchmark-dev clang ccache
        libclang-rt-14-dev desktop-file-utils dpkg-dev file man-db
        poppler-utils lintian) ;;
  *) echo "usage: deps.sh [run|core|package|test]" >&2; exit 1 ;;
esac
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
