#!/usr/bin/env bash
# Plants one-line faults, one at a time, and checks that the test suite
# catches each. The faults are listed in scripts/mutants.txt, one per line:
#   file | text to find (must occur exactly once) | replacement
# Fields are separated by " | "; a "\n" in the text or the replacement stands
# for a line break, so that a fault can name the lines around it.
# Each fault is applied to the file, the test programs are rebuilt, and those
# the fault reached (relinked, or all when cbeam-cli changed) are run, each in
# one process, JOBS at a time; then the file is restored. Prints one row per
# fault with the tests that failed; exits 1 when a fault goes unnoticed.
# Usage: scripts/mutants.sh [build folder, default build-mutants] [list file]
set -uo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-mutants}
list=${2:-scripts/mutants.txt}
export JOBS=${JOBS:-$(nproc)} QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
cmake -S . -B "$dir" -G Ninja -DCBEAM_BENCH=OFF >/dev/null || exit 2
# Only what the tests run: the test programs and the command-line program.
targets=$(ninja -C "$dir" -t targets all | sed -n 's/^\(test_[a-z]*\|cbeam-cli\): .*/\1/p' | sort -u)
build() { cmake --build "$dir" -j "$JOBS" --target $targets >/dev/null 2>&1; }
programs() { find "$(realpath "$dir")" -type f \( -name 'test_*' -o -name cbeam-cli \) -perm -u+x -printf '%T@ %p\n' | sort -k2; }

# Runs the given test programs; prints the failed tests (or the program that
# failed without naming one), comma-separated.
run() {
  printf '%s\n' "$@" | xargs -r -P "$JOBS" -I{} sh -c '
    out=$(cd "$(dirname "$1")" && timeout 300 "$1" --gtest_brief=1 2>&1); rc=$?
    failed=$(printf "%s\n" "$out" | sed -n "s/^\[  FAILED  \] \([^ ,]*\.[^ ,]*\).*/\1/p" | sort -u)
    if [ -n "$failed" ]; then echo "$failed"; elif [ "$rc" != 0 ]; then echo "$(basename "$1")(exit $rc)"; fi
  ' _ {} | sort -u | awk 'NR <= 3 {s = s (NR > 1 ? "," : "") $0} END {if (NR > 3) s = s ",+" NR - 3 " more"; if (s != "") print s}'
}

build || exit 2
all=$(programs | awk '$2 !~ /cbeam-cli$/ {print $2}')
baseline=$(run $all)
if [ -n "$baseline" ]; then echo "the tests fail without a fault: $baseline"; exit 2; fi

survivors=0
n=0
while IFS= read -r row || [ -n "$row" ]; do
  [[ -z "${row// /}" || "$row" == \#* ]] && continue
  row="$row "  # an empty replacement still ends in " | "
  file=${row%% | *}
  rest=${row#* | }
  find=${rest%% | *}
  replace=${rest#* | }
  replace=${replace% }
  n=$((n + 1))
  count=$(FIND="$find" perl -0ne '$f = $ENV{FIND}; $f =~ s/\\n/\n/g; print scalar(() = /\Q$f\E/g)' "$file")
  if [ "$count" != 1 ]; then
    printf '%2d | %s | %s | NOT PLANTED (found %s times)\n' "$n" "$file" "$find" "$count"
    survivors=$((survivors + 1))
    continue
  fi
  cp "$file" "$file.orig"
  FIND="$find" REPLACE="$replace" perl -0pi -e \
    '($f, $r) = ($ENV{FIND}, $ENV{REPLACE}); s/\\n/\n/g for $f, $r; s/\Q$f\E/$r/' "$file"
  line=$(diff "$file.orig" "$file" | head -1 | sed 's/[acd].*//')
  before=$(programs)
  if ! build; then
    result="caught by the compiler"
  else
    changed=$(diff <(echo "$before") <(programs) | sed -n 's/^> [^ ]* //p')
    if echo "$changed" | grep -q 'cbeam-cli$'; then changed=$all; fi
    failed=$(run $(echo "$changed" | grep -v 'cbeam-cli$'))
    if [ -n "$failed" ]; then result="caught by $failed"; else result="NOT CAUGHT"; survivors=$((survivors + 1)); fi
  fi
  mv "$file.orig" "$file"
  touch "$file"  # newer than the planted build, so the next build recompiles it
  printf '%2d | %s:%s | %s -> %s | %s\n' "$n" "$file" "$line" "$find" "$replace" "$result"
done < "$list"
build
echo "$n faults, $((n - survivors)) caught"
[ "$survivors" = 0 ]
