#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop and a
# package need: the files in place, a valid desktop entry naming the beam file
# type, manual pages that render without warnings and name every command,
# --help/--version that answer without a display, and a Debian package that
# lintian finds no error in.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/cbeam bin/cbeam-cli share/applications/cbeam.desktop share/mime/packages/cbeam.xml \
         share/icons/hicolor/scalable/apps/cbeam.svg share/icons/hicolor/16x16/apps/cbeam.png \
         share/icons/hicolor/256x256/apps/cbeam.png share/man/man1/cbeam.1.gz share/man/man1/cbeam-cli.1.gz \
         share/doc/cbeam/copyright share/doc/cbeam/changelog.gz; do
  [ -s "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/cbeam.desktop"
grep -q '^MimeType=application/x-cbeam-beam;$' "$prefix/share/applications/cbeam.desktop"
grep -q '<glob pattern="\*.bmf"/>' "$prefix/share/mime/packages/cbeam.xml"
for page in cbeam cbeam-cli; do
  warnings=$(LANG=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page.1: $warnings"; exit 1; }
done
# Every command of cbeam-cli --help has its paragraph in the manual page.
manual=$(LANG=C.UTF-8 MANWIDTH=200 man -l "$prefix/share/man/man1/cbeam-cli.1.gz" 2>/dev/null)
for command in $("$prefix/bin/cbeam-cli" --help | sed -n 's/^  cbeam-cli \([a-z]\+\).*/\1/p' | sort -u); do
  grep -q "^       $command\b" <<<"$manual" || { echo "cbeam-cli.1 lacks: $command"; exit 1; }
done
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/cbeam" --version)
[ "$version" = "cbeam $("$prefix/bin/cbeam-cli" --version | cut -d' ' -f2)" ] || { echo "versions: $version"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/cbeam" --help | grep -q -- '--version'
# The package as scripts/package.sh makes it, checked by lintian where it is
# installed (scripts/deps.sh test installs it).
if command -v lintian >/dev/null && command -v cpack >/dev/null; then
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$prefix/package" >/dev/null
  deb=$(ls "$prefix"/package/cbeam_*.deb)
  lintian --fail-on error "$deb" >"$prefix/lintian.txt" 2>&1 ||
    { cat "$prefix/lintian.txt"; echo "lintian found errors in $(basename "$deb")"; exit 1; }
else
  echo "lintian or cpack missing: package not checked"
fi
echo "install check passed"
