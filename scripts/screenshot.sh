#!/usr/bin/env bash
# Starts the window on a virtual X display with examples/contour.nc, which it draws at once, goes to line 15
# with Ctrl+G (the listing selects it, the preview highlights its segment), and saves pictures of the window
# (docs/window.png) and of the version dialog (docs/about.png); then opens examples/cycles-and-helices.nc,
# turns to the isometric view with depth colours and saves docs/isometric.png. The programs are copied into a
# folder named NC and opened by their plain names, and the window runs installed in /opt/plotra, so no working
# folder shows. Installs what is missing with apt-get and the window in /opt, so it needs root (or sudo).
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

# Runs on the virtual display: $1 the program, $2 the folder of the NC programs, $3 the folder for the
# pictures.
take_pictures() {
  local program=$1 programs=$2 pictures=$3
  cd "$programs"
  "$program" contour.nc &
  local pid=$!

  local window
  window=$(window_named "$title")
  sleep 1
  # Line 15 in the listing, its segment highlighted in the preview.
  press "$window" ctrl+g
  xdotool type --delay 50 15
  xdotool key Return
  sleep 0.5
  import -window "$window" "$pictures/window.png"

  press "$window" alt+v
  local about
  about=$(window_named 'バージョン情報')
  sleep 0.5
  import -window "$about" "$pictures/about.png"
  press "$about" Return
  gone "$about"
  press "$window" alt+c
  wait "$pid"

  "$program" cycles-and-helices.nc &
  pid=$!
  window=$(window_named "$title")
  sleep 1
  # The NC name has the focus and would take the view key as text: a click on an empty corner of the
  # drawing gives the focus to the preview. The depth colours are switched on by their access key.
  xdotool mousemove --window "$window" 980 640 click 1
  press "$window" 4
  xdotool key alt+d
  sleep 0.5
  import -window "$window" "$pictures/isometric.png"
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
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if [ "${#missing[@]}" -gt 0 ]; then
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOTRA_TESTS=OFF -DPLOTRA_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"

prefix=/opt/plotra
if [ -e "$prefix" ]; then
  echo "screenshot.sh: $prefix is in the way" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"; as_root rm -rf "$prefix"' EXIT
as_root cmake --install build --prefix "$prefix" >/dev/null
mkdir -p "$work/NC" docs
cp examples/contour.nc examples/cycles-and-helices.nc "$work/NC/"
LANG=C.UTF-8 XDG_CONFIG_HOME="$work/config" xvfb-run -a -s '-screen 0 1280x800x24' \
  "$0" --on-display "$prefix/bin/plotra" "$work/NC" "$PWD/docs"
echo "Pictures: docs/window.png docs/about.png docs/isometric.png"
