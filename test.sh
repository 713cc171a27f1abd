#!/usr/bin/env bash
# Installs what is missing, builds (the desktop and the browser versions), and runs every test
# headless on a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh" test
"$root/scripts/build-web.sh"
cd "$root/build"
"$root/tests/support/own_x_server.sh" 1920x1080 ctest --output-on-failure -j"$(nproc)" "$@"
