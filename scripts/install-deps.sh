#!/usr/bin/env bash
# Installs the Debian 12 packages that Heptad needs, and nothing that is already there. Runs
# apt-get as root, or through sudo for a normal user.
#   install-deps.sh play   what building, playing and recording the demo need (play.sh)
#   install-deps.sh test   that and the test tools (test.sh, CI); the default
set -euo pipefail

play_packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglm-dev libstb-dev libepoxy-dev libsdl2-mixer-dev
  libasound2-dev libmp3lame-dev fonts-dejavu-core libgl1-mesa-dri
  xvfb xauth ffmpeg
)
test_packages=(
  libxtst-dev zlib1g-dev googletest libgtest-dev faketime glslang-tools xdotool
  strace apitrace clang libclang-rt-14-dev
)

case "${1:-test}" in
  play) packages=("${play_packages[@]}") ;;
  test) packages=("${play_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 [play|test]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
