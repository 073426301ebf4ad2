#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop and a
# package need: the files in place, a valid desktop entry naming the beam file
# type, manual pages that render without warnings, and --help/--version that
# answer without a display.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/cbeam bin/cbeam-cli share/applications/cbeam.desktop share/mime/packages/cbeam.xml \
         share/icons/hicolor/scalable/apps/cbeam.svg share/icons/hicolor/16x16/apps/cbeam.png \
         share/icons/hicolor/256x256/apps/cbeam.png share/man/man1/cbeam.1 share/man/man1/cbeam-cli.1; do
  [ -s "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/cbeam.desktop"
grep -q '^MimeType=application/x-cbeam-beam;$' "$prefix/share/applications/cbeam.desktop"
grep -q '<glob pattern="\*.bmf"/>' "$prefix/share/mime/packages/cbeam.xml"
for page in cbeam cbeam-cli; do
  warnings=$(LANG=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page.1: $warnings"; exit 1; }
done
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/cbeam" --version)
[ "$version" = "cbeam $("$prefix/bin/cbeam-cli" --version | cut -d' ' -f2)" ] || { echo "versions: $version"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/cbeam" --help | grep -q -- '--version'
echo "install check passed"
