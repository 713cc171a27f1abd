#!/usr/bin/env bash
# Installs what is missing, builds (the desktop and the browser versions), and runs every test
# headless on a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh" test
"$root/scripts/build-web.sh"
cd "$root/build"
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  ctest --output-on-failure -j"$(nproc)" "$@"
