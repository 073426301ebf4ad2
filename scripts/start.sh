#!/usr/bin/env bash
# Installs what is missing, builds and starts the program (extra arguments go to it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
bash scripts/build.sh build -DBUILD_TESTING=OFF -DCBEAM_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a build/src/app/cbeam "$@"
fi
exec build/src/app/cbeam "$@"
