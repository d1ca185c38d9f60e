#!/usr/bin/env bash
# Starts the window on a virtual X display with examples/contour.nc, converts it as a user would (Enter starts
# the conversion, Enter closes the completion message), clicks a line of the preview, and saves pictures of
# the window after the run (docs/window.png) and of the version dialog (docs/about.png). Installs what is missing with apt-get, so it
# needs root (or sudo) the first time.
set -euo pipefail
cd "$(dirname "$0")/.."

title='ＮＣ→ＤＸＦ変換'

# Waits for a visible window whose title is exactly $1 and prints its id.
window_named() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    sleep 0.1
  done
  echo "screenshot.sh: no window \"$1\" came up" >&2
  exit 1
}

# Gives the keyboard to window $1 and types the keys that follow.
press() {
  local window=$1
  shift
  xdotool windowfocus --sync "$window"
  sleep 0.3
  xdotool key "$@"
}

# Waits until the window $1 has gone.
gone() {
  for _ in $(seq 100); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
}

# Runs on the virtual display: $1 the program, $2 the NC file, $3 the folder for the pictures.
take_pictures() {
  local program=$1 nc=$2 pictures=$3
  "$program" "$nc" &
  local pid=$!

  local window
  window=$(window_named "$title")
  press "$window" Return
  local message
  message=$(window_named 'メッセージ')
  press "$message" Return
  gone "$message"
  sleep 0.5
  # A click on the bottom of the notch in the preview names its NC line in the status line.
  xdotool mousemove --window "$window" 697 316 click 1
  sleep 0.5
  import -window "$window" "$pictures/window.png"

  # The menu bar has no access keys: the version item is clicked where it sits, right of the File menu.
  xdotool mousemove --window "$window" 90 10 click 1
  local about
  about=$(window_named 'バージョン情報')
  sleep 0.5
  import -window "$about" "$pictures/about.png"
  press "$about" Return
  gone "$about"
  press "$window" alt+c
  wait "$pid"
}

if [ "${1:-}" = "--on-display" ]; then
  shift
  take_pictures "$@"
  exit 0
fi

scripts/setup.sh
missing=()
for package in xvfb xauth xdotool x11-utils imagemagick; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOTRA_TESTS=OFF -DPLOTRA_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target plotra

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/contour.nc "$work/"
mkdir -p docs
LANG=C.UTF-8 xvfb-run -a -s '-screen 0 1024x768x24' "$0" --on-display "$PWD/build/bin/plotra" "$work/contour.nc" "$PWD/docs"
echo "Pictures: docs/window.png docs/about.png"
