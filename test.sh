#!/usr/bin/env bash
# Installs what is missing, builds (the desktop and the browser versions), and runs every test:
# first those that need no window, with no display and no X server at all, then those labelled
# window, each on a virtual X server of its own (tests/support/own_x_server.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh" test
"$root/scripts/build-web.sh"
cd "$root/build"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY ctest --output-on-failure -j"$(nproc)" -LE window "$@" || status=1
env -u DISPLAY -u WAYLAND_DISPLAY ctest --output-on-failure -j"$(nproc)" -L window "$@" || status=1
exit "$status"
