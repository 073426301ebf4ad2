#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, then
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ "${CBEAM_SKIP_SANITIZE:-0}" != 1 ]; then
  echo "== sanitizer build (ASan + UBSan)"
  bash scripts/build.sh build-asan -DCBEAM_SANITIZE=ON -DCBEAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
fi
