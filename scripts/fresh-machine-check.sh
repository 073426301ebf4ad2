#!/usr/bin/env bash
# Checks that the README's two set-up commands work on a machine that has
# never seen the project: builds a minimal Debian 12 root with debootstrap,
# puts a clean clone of the committed HEAD in it and, inside a chroot, runs
#   bash scripts/test.sh     (installs, builds, runs every test)
#   bash scripts/start.sh    (under a virtual X server for a few seconds)
#   bash scripts/package.sh and apt-get install of the package it makes; then
#   the installed cbeam under Xvfb, the beam file type's default program and
#   the installed cbeam-cli on an example
# The start counts as a success when the program's window is up on the
# virtual screen when it is closed. Takes many minutes; not part of CI.
#
# Usage: scripts/fresh-machine-check.sh   (as root, or with sudo available)
# Environment: CBEAM_FRESH_ROOT   where the root is built (default /var/tmp/cbeam-fresh)
#              CBEAM_FRESH_KEEP=1 keep the root afterwards (default: removed)
#              CBEAM_FRESH_START_SECONDS how long the program runs (default 20)
#              CBEAM_SKIP_SANITIZE=1 is passed on to test.sh
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  exec sudo -E bash "$0" "$@"
fi

root=${CBEAM_FRESH_ROOT:-/var/tmp/cbeam-fresh}
logdir=${root}.logs
start_seconds=${CBEAM_FRESH_START_SECONDS:-20}

say() { printf '== %s\n' "$*"; }

mounted_under() {  # prints mount points at or below $1, deepest first
  awk -v p="$1" '$2 == p || index($2, p "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}

# Processes whose root directory is inside the chroot: only ever ones this
# script started there.
chroot_pids() {
  local link
  for link in /proc/[0-9]*/root; do
    local target
    target=$(readlink "$link" 2>/dev/null) || continue
    if [ "$target" = "$root" ] || [[ "$target" == "$root"/* ]]; then
      local pid=${link#/proc/}
      echo "${pid%/root}"
    fi
  done
}

cleanup() {
  local pid mp
  for pid in $(chroot_pids); do kill -TERM "$pid" 2>/dev/null || true; done
  sleep 1
  for pid in $(chroot_pids); do kill -KILL "$pid" 2>/dev/null || true; done
  for mp in $(mounted_under "$root"); do
    umount -R "$mp" 2>/dev/null || umount -l "$mp" 2>/dev/null || true
  done
  if [ -n "$(mounted_under "$root")" ]; then
    echo "warning: still mounted under $root; leaving it in place" >&2
  elif [ "${CBEAM_FRESH_KEEP:-0}" != 1 ] && [ -d "$root" ]; then
    rm -rf --one-file-system "$root"
  fi
}

# --- the Debian mirror, as apt on this machine is configured
mirror=""
security=""
if [ -r /etc/apt/sources.list.d/debian.sources ]; then
  mirror=$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources)
  security=$(awk '/^URIs:/ && $2 ~ /security/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources)
fi
if [ -z "$mirror" ] && [ -r /etc/apt/sources.list ]; then
  mirror=$(awk '$1 == "deb" && $2 !~ /security/ && $0 ~ /bookworm/ { print $2; exit }' /etc/apt/sources.list)
  security=$(awk '$1 == "deb" && $2 ~ /security/ { print $2; exit }' /etc/apt/sources.list)
fi
mirror=${mirror:-http://deb.debian.org/debian}
say "mirror $mirror${security:+, security $security}"

if ! command -v debootstrap >/dev/null; then
  say "installing debootstrap"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

# --- a fresh root (never remove one that still has something mounted in it)
if [ -n "$(mounted_under "$root")" ]; then
  echo "error: $root has mounts in it (an earlier run?); unmount them first" >&2
  exit 2
fi
rm -rf --one-file-system "$root"
mkdir -p "$logdir"
trap cleanup EXIT

say "debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$logdir/debootstrap.log" 2>&1 || {
  tail -20 "$logdir/debootstrap.log"
  exit 1
}

{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"

say "clean clone of $(git -C "$repo" rev-parse --short HEAD) ($(git -C "$repo" log -1 --format=%s))"
git clone --quiet --no-local "$repo" "$root/root/cbeam"

mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount -t sysfs sysfs "$root/sys"

in_root() {  # a login-like clean environment, as on a new machine
  chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${CBEAM_SKIP_SANITIZE:+CBEAM_SKIP_SANITIZE=$CBEAM_SKIP_SANITIZE} \
    /bin/bash -c "cd /root/cbeam && $1"
}

say "bash scripts/test.sh (log: $logdir/test.log)"
test_start=$(date +%s)
if in_root "bash scripts/test.sh" >"$logdir/test.log" 2>&1; then
  test_result="passed"
else
  test_result="FAILED"
fi
say "test.sh $test_result in $(($(date +%s) - test_start)) s"
grep -E 'tests passed|tests failed|Errors while running' "$logdir/test.log" || tail -20 "$logdir/test.log"

# start.sh picks the first free X display by the lock files in /tmp; the
# chroot has its own /tmp, so the displays in use out here are marked there
# too, and the virtual screen can then be inspected from outside.
for lock in /tmp/.X*-lock; do
  if [ -e "$lock" ]; then : >"$root$lock"; fi
done
ls "$root"/tmp/.X*-lock >"$logdir/locks-before" 2>/dev/null || : >"$logdir/locks-before"

say "bash scripts/start.sh for ${start_seconds}s (log: $logdir/start.log)"
in_root "timeout $start_seconds bash scripts/start.sh" >"$logdir/start.log" 2>&1 &
starter=$!
window=""
deadline=$(($(date +%s) + start_seconds + 600))  # the build step of start.sh comes first
while kill -0 "$starter" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
  sleep 2
  lock=$(ls "$root"/tmp/.X*-lock 2>/dev/null | grep -vxF -f "$logdir/locks-before" | head -1) || true
  [ -n "$lock" ] || continue
  display=${lock##*/.X}
  display=${display%-lock}
  auth=$(ls "$root"/tmp/xvfb-run.*/Xauthority 2>/dev/null | head -1) || true
  [ -n "$auth" ] || continue
  tree=$(DISPLAY=":$display" XAUTHORITY="$auth" xwininfo -root -tree 2>/dev/null) || continue
  id=$(printf '%s\n' "$tree" | awk '/\("cbeam"/ && $NF ~ /^\+/ { print $1 }' | while read -r w; do
         if DISPLAY=":$display" XAUTHORITY="$auth" xwininfo -id "$w" 2>/dev/null |
            grep -q 'Map State: IsViewable'; then echo "$w"; break; fi
       done) || true
  if [ -n "$id" ]; then
    window=$(printf '%s\n' "$tree" | grep -F "$id" | head -1 | sed 's/^ *//') || true
    break
  fi
done
set +e
wait "$starter"
start_rc=$?
set -e
if [ "$start_rc" -eq 124 ] && [ -n "$window" ]; then
  start_result="passed (window up: $window; closed after ${start_seconds}s)"
elif [ -n "$window" ]; then
  start_result="FAILED (window was up, but start.sh ended with $start_rc before the timeout)"
else
  start_result="FAILED (no program window seen; start.sh ended with $start_rc)"
fi
tail -5 "$logdir/start.log"

# The Debian package: made by the README's install commands, installed with
# apt (which brings its dependencies), then the installed programs are run.
say "bash scripts/package.sh and apt-get install the package (log: $logdir/package.log)"
package_check='bash scripts/package.sh &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y ./build-package/cbeam_*.deb xdg-utils &&
  test "$(cbeam --version)" = "cbeam $(cbeam-cli --version | cut -d" " -f2)" &&
  env -u DISPLAY cbeam --help >/dev/null &&
  echo "xdg-mime default: $(xdg-mime query default application/x-cbeam-beam)" &&
  test "$(xdg-mime query default application/x-cbeam-beam)" = cbeam.desktop &&
  test "$(xdg-mime query filetype examples/three-span.bmf)" = application/x-cbeam-beam &&
  cbeam-cli solve examples/three-span.bmf &&
  { timeout 10 xvfb-run -a cbeam examples/three-span.bmf; test $? -eq 124; }'
if in_root "$package_check" >"$logdir/package.log" 2>&1; then
  package_result="passed"
else
  package_result="FAILED"
fi
tail -8 "$logdir/package.log"

say "result: test.sh $test_result; start.sh $start_result; package $package_result"
[ "$test_result" = passed ] && [[ "$start_result" == passed* ]] && [ "$package_result" = passed ]
