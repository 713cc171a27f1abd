#!/usr/bin/env bash
# Installs what is missing, builds, and plays the demo fullscreen.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/build/runtime"
status=0
./heptad || status=$?
if [ "$status" -ne 0 ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Heptad needs a display: run this from a desktop session with OpenGL 3.3."
fi
exit "$status"
