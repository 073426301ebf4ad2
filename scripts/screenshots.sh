#!/usr/bin/env bash
# Pictures of the three windows of the real program for the documentation:
# docs/screenshots/{start,input,about}.png. Runs the built program
# (build/src/app/cbeam, see scripts/build.sh) under a virtual X server (:50)
# with openbox, drives it with xdotool and grabs the windows with ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
app=${CBEAM_APP:-build/src/app/cbeam}
out=docs/screenshots
display=:50
[ -x "$app" ] || { echo "build the program first: $app is missing" >&2; exit 1; }

missing=()
for tool in Xvfb:xvfb openbox:openbox xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool##*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
  $sudo apt-get update -qq && $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$app" examples/three-span.bmf &
pids+=($!)

window() {  # the id of the visible window with that exact title
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && {
      echo "$id"; return; }
    sleep 0.1
  done
  echo "no window \"$1\"" >&2
  return 1
}
click() {  # window, x, y in twips as the windows are designed
  xdotool mousemove --window "$1" $(($2 / 15)) $(($3 / 15)) click 1
  sleep 0.5
}
shot() {  # window, file
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  sleep 0.5
  import -window "$1" "$out/$2"
  echo "$out/$2"
}

mkdir -p "$out"
input=$(window 输入参数)
click "$input" 780 330        # the span list: the second span
xdotool key Down Return
sleep 0.5
shot "$input" input.png
click "$input" 8227 397       # 关于
about=$(window "关于 连续梁计算程序")
shot "$about" about.png
xdotool key --window "$about" Return
click "$input" 6787 397       # <上一步
start=$(window 欢迎使用)
click "$start" 3877 847       # the span count
xdotool type --delay 50 3
sleep 0.5
shot "$start" start.png
