#!/usr/bin/env bash
# Installs what is missing, builds the program and makes its Debian package
# (build-package/cbeam_<version>_<arch>.deb). Install it with
#   sudo apt-get install ./build-package/cbeam_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh package
bash scripts/build.sh build-package -DBUILD_TESTING=OFF -DCBEAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Release
(cd build-package && cpack -G DEB)
ls build-package/cbeam_*.deb
