#!/usr/bin/env bash
# Configures once and builds incrementally into build/ (the runtime folder is build/runtime).
#   build.sh play   only the programs and their content: needs only install-deps.sh play
#   build.sh test   everything, tests and benchmarks included; the default
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="$root/build/CMakeCache.txt"
configure() {
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
case "${1:-test}" in
  play)
    # A folder configured for the tests before stays so; only the programs are built here.
    [ -f "$cache" ] || configure -DHEPTAD_BUILD_TESTS=OFF
    cmake --build "$root/build" -j"$(nproc)" --target heptad heptad-capture
    ;;
  test)
    grep -q '^HEPTAD_BUILD_TESTS:BOOL=ON$' "$cache" 2>/dev/null || configure -DHEPTAD_BUILD_TESTS=ON
    cmake --build "$root/build" -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 [play|test]" >&2
    exit 2
    ;;
esac
