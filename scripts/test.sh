#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, the
# Qt-free core alone (as on a machine without Qt), then the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
export QT_QPA_PLATFORM=offscreen
# The core build compiles what the normal build compiled, with the same flags:
# through ccache, with paths taken relative to the checkout and the working
# folder left out of the hash, it takes those objects instead of compiling
# them again.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
fi
werror=-DCBEAM_WERROR=${CBEAM_WERROR:-ON}

echo "== normal build"
bash scripts/build.sh build -DBUILD_TESTING=ON -DCBEAM_BENCH=ON "$werror"
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== core build without Qt"
# Qt is made unfindable, so that a core target that reaches for it fails here.
bash scripts/build.sh build-core -DCBEAM_GUI=OFF -DCBEAM_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON "$werror"
ctest --test-dir build-core --output-on-failure -j "$(nproc)"

if [ "${CBEAM_SKIP_SANITIZE:-0}" != 1 ]; then
  echo "== sanitizer build (ASan + UBSan)"
  bash scripts/build.sh build-asan -DCBEAM_SANITIZE=ON -DCBEAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug "$werror"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
fi
