#!/usr/bin/env bash
# Installs the Debian 12 packages that Heptad needs, and nothing that is already there. Runs
# apt-get as root, or through sudo for a normal user.
#   install-deps.sh play   what building, playing and recording the demo need (play.sh)
#   install-deps.sh web    that and Emscripten, for the browser version (play.sh --web)
#   install-deps.sh test   all of that and the test tools, chromium among them (test.sh, CI);
#                          the default
set -euo pipefail

play_packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglm-dev libstb-dev libepoxy-dev libsdl2-mixer-dev
  libasound2-dev libmp3lame-dev fonts-dejavu-core fonts-dejavu-extra libgl1-mesa-dri
  libegl1 libegl-mesa0 ffmpeg
)
test_packages=(
  libxtst-dev zlib1g-dev googletest libgtest-dev faketime glslang-tools xdotool
  strace apitrace clang libclang-rt-14-dev chromium debootstrap
  xvfb xauth parallel lintian dpkg-dev
)
web_packages=(emscripten)

case "${1:-test}" in
  play) packages=("${play_packages[@]}") ;;
  web) packages=("${play_packages[@]}" "${web_packages[@]}") ;;
  test) packages=("${play_packages[@]}" "${web_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 [play|web|test]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
# The browser tests need npm, which comes with some builds of nodejs and separately with Debian's.
[ "${1:-test}" != test ] || command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
  fi
  "${as_root[@]}" apt-get -o Acquire::Retries=3 update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -o Acquire::Retries=3 install -y -qq \
    --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# The browser tests drive Debian's chromium through playwright-core (no browser download of its
# own), installed from the lock file into tests/web/node_modules.
web_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
# A copy of another version (the lock file changed) is replaced.
wanted=$(sed -n 's/.*"playwright-core": "\(.*\)".*/\1/p' "$web_tests/package.json")
installed=$(sed -n 's/^  "version": "\(.*\)".*/\1/p' \
  "$web_tests/node_modules/playwright-core/package.json" 2>/dev/null || true)
if [ "${1:-test}" = test ] && [ "$installed" != "$wanted" ]; then
  echo "Installing playwright-core into tests/web/node_modules"
  npm ci --prefix "$web_tests" --no-audit --no-fund --loglevel=error >/dev/null
fi
