#!/usr/bin/env bash
# Plants one-line faults, one at a time, and checks that the test suite
# catches each. The faults are listed in scripts/mutants.txt, one per line:
#   file | text to find (must occur exactly once) | replacement
# Each fault is applied to a copy of the line, the tests are rebuilt and run,
# and the file is restored. Prints one row per fault with the tests that
# failed; exits 1 when a fault goes unnoticed.
# Usage: scripts/mutants.sh [build folder, default build-mutants] [list file]
set -uo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-mutants}
list=${2:-scripts/mutants.txt}
export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$dir" -G Ninja -DCBEAM_BENCH=OFF >/dev/null || exit 2
cmake --build "$dir" -j "$(nproc)" >/dev/null || exit 2

survivors=0
n=0
while IFS='|' read -r file find replace; do
  file=$(echo "$file" | xargs)
  [ -z "$file" ] || [[ "$file" == \#* ]] && continue
  find=${find# }; find=${find% }
  replace=${replace# }; replace=${replace% }
  n=$((n + 1))
  count=$(grep -cF -- "$find" "$file")
  if [ "$count" != 1 ]; then
    printf '%2d | %s | %s | NOT PLANTED (found %s times)\n' "$n" "$file" "$find" "$count"
    survivors=$((survivors + 1))
    continue
  fi
  cp "$file" "$file.orig"
  FIND="$find" REPLACE="$replace" perl -0pi -e 's/\Q$ENV{FIND}\E/$ENV{REPLACE}/' "$file"
  line=$(diff "$file.orig" "$file" | head -1 | sed 's/c.*//')
  if ! cmake --build "$dir" -j "$(nproc)" >/dev/null 2>&1; then
    result="caught by the compiler"
  else
    failed=$(ctest --test-dir "$dir" -j "$(nproc)" --timeout 300 2>/dev/null |
             sed -n 's/^ *[0-9]* - \([^ ]*\) .*/\1/p' | head -3 | paste -sd, -)
    if [ -n "$failed" ]; then result="caught by $failed"; else result="NOT CAUGHT"; survivors=$((survivors + 1)); fi
  fi
  mv "$file.orig" "$file"
  printf '%2d | %s:%s | %s -> %s | %s\n' "$n" "$file" "$line" "$find" "$replace" "$result"
done < "$list"
cmake --build "$dir" -j "$(nproc)" >/dev/null 2>&1
echo "$n faults, $((n - survivors)) caught"
[ "$survivors" = 0 ]
