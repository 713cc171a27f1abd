#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo fullscreen. Where there is no display it
# records the demo to a video file instead (heptad-capture, rendered without a GPU or a screen);
# any arguments then go to the recorder, e.g. ./play.sh --size 1920x1080 --fps 60.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
start_dir=$PWD

# ./play.sh --web [port]: builds the browser version and serves it on this machine.
if [ "${1:-}" = "--web" ]; then
  "$root/scripts/install-deps.sh"
  "$root/scripts/build-web.sh"
  port=${2:-8000}
  echo "Heptad in the browser: open http://127.0.0.1:$port/ (Ctrl-C stops the server)"
  cd "$root/build-web"
  exec python3 -m http.server --bind 127.0.0.1 "$port"
fi
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/build/runtime"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # Small enough that Mesa's software renderer gets through it on two cores in minutes.
  video="$start_dir/heptad.mp4"
  args=()
  while [ $# -gt 0 ]; do
    case "$1" in
      # The recorder runs in the runtime folder: relative names mean the caller's folder.
      --output | -o) video=${2:?"$1 needs a file name"}; [[ $video = /* ]] || video="$start_dir/$video"; shift 2 ;;
      --output=*) video=${1#--output=}; [[ $video = /* ]] || video="$start_dir/$video"; shift ;;
      *) args+=("$1"); shift ;;
    esac
  done
  echo "No display here: recording the demo to $video instead (960x540 at 30 fps unless" \
    "--size / --fps say otherwise; without a GPU this takes several minutes)."
  ./heptad-capture --size 960x540 --fps 30 ${args[@]+"${args[@]}"} --output "$video"
  echo "Play it with any video player, e.g.: ffplay \"$video\""
  exit 0
fi

status=0
./heptad || status=$?
exit "$status"
