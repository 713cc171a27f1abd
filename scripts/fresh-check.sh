#!/usr/bin/env bash
# Proves that a new user's first command works on a clean Debian 12, so that a missing install
# step cannot hide behind packages this machine happens to have. It makes a minimal Debian 12
# root with debootstrap, clones this checkout into it and runs the README's own command there,
# `./play.sh --still 150`, with no display: the install, the build and a real still. It passes
# only if that still matches the one this checkout renders here at 40 dB PSNR or better. Then, in
# a second clean root that has none of the build's packages, it installs the Debian package built
# here with apt, as a user would, and renders the same still with the installed heptad-capture
# from the home folder: that proves the package's dependencies.
#   scripts/fresh-check.sh          both checks (2.5 to 4 minutes on two cores; CI runs it)
#   scripts/fresh-check.sh --tests  then ./test.sh in the first root as well (much longer)
# Needs root, debootstrap and dpkg-dev (test packages). The roots live under FRESH_CHECK_DIR
# (default /var/tmp) and are removed, mounts first, on every way out, Ctrl-C included.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
run_tests=false
case "${1:-}" in
  "") ;;
  --tests) run_tests=true ;;
  *)
    echo "usage: $0 [--tests]" >&2
    exit 2
    ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check: needs root (debootstrap and chroot)" >&2
  exit 2
fi
command -v debootstrap >/dev/null || {
  echo "fresh-check: debootstrap is missing (scripts/install-deps.sh test installs it)" >&2
  exit 2
}

work=$(mktemp -d "${FRESH_CHECK_DIR:-/var/tmp}/heptad-fresh.XXXXXX")
mounts=()

# Everything still running inside a root goes first, then the mounts, innermost first. The roots
# are removed only once nothing is mounted below them: a bound /dev must never be emptied.
# Long steps run in the background and are waited for, so that Ctrl-C is handled at once rather
# than when the step ends (apt and dpkg hold it off), and the whole tree of each is stopped here.
step() {
  "$@" &
  wait $!
}
stop_tree() {
  local child
  for child in $(pgrep -P "$1"); do
    stop_tree "$child"
  done
  kill -9 "$1" 2>/dev/null
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  # Every step of the clean-up is tried, whatever an earlier one found.
  set +e
  local pid
  for pid in $(jobs -p); do
    stop_tree "$pid"
  done
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    case "$(readlink "/proc/$pid/root" 2>/dev/null)" in
      "$work"/*) kill -9 "$pid" 2>/dev/null ;;
    esac
  done
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || true
  done
  if findmnt -rn -o TARGET | grep -q "^$work/"; then
    echo "fresh-check: $work still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_in() { # mount_in ROOT TARGET MOUNT-ARGUMENTS...
  mkdir -p "$1$2"
  mount "${@:3}" "$1$2"
  mounts+=("$1$2")
}

# The same mirror as apt-get here.
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
mirror=${mirror:-http://deb.debian.org/debian}

new_root() { # new_root DIR: a minimal Debian 12 with what any installed machine has
  echo "fresh-check: a minimal Debian 12 root from $mirror in $1"
  step debootstrap --variant=minbase bookworm "$1" "$mirror" >"$work/debootstrap.log" 2>&1 || {
    tail -20 "$work/debootstrap.log" >&2
    exit 1
  }
  # From its installer: name resolution and the package sources (with the updates this machine
  # gets, so both render with the same Mesa); and where this workplace reaches the registries
  # through its own certificate authorities, those and the npm settings.
  cp /etc/resolv.conf "$1/etc/resolv.conf"
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    cp /etc/apt/sources.list.d/*.sources "$1/etc/apt/sources.list.d/"
    rm -f "$1/etc/apt/sources.list"
  fi
  if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    mkdir -p "$1/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$1/usr/local/share/ca-certificates/"
  fi
  local npmrc
  for npmrc in /etc/npmrc /root/.npmrc; do
    [ -f "$npmrc" ] && cp "$npmrc" "$1$npmrc"
  done
  mount_in "$1" /proc -t proc proc
  mount_in "$1" /sys -t sysfs sys
  mount_in "$1" /dev --bind /dev
  mount_in "$1" /dev/pts --bind /dev/pts
  mount_in "$1" /tmp -t tmpfs tmpfs
}

inside() { # inside ROOT COMMAND: as root, from a clean environment, in /root
  step chroot "$1" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb bash -c "cd /root && $2"
}

psnr_of() { # psnr_of A.png B.png: the PSNR in dB, or inf
  ffmpeg -hide_banner -nostats -i "$1" -i "$2" -lavfi psnr -f null - 2>&1 |
    sed -n 's/.*PSNR.* average:\([^ ]*\).*/\1/p'
}
close_enough() { # close_enough PSNR
  [ "$1" = inf ] || awk -v p="${1:-0}" 'BEGIN { exit !(p >= 40) }'
}

started=$SECONDS
system="$work/play"
new_root "$system"
echo "fresh-check: root ready after $((SECONDS - started)) s"
# A clone of what is committed here, as a new user's clone would be.
git clone -q --no-hardlinks "$root" "$system/root/heptad"

echo "fresh-check: ./play.sh --still 150 in the clean root"
play_started=$SECONDS
if ! inside "$system" 'cd heptad && ./play.sh --still 150 --output /root/fresh.png' \
  >"$work/play.log" 2>&1; then
  tail -30 "$work/play.log" >&2
  echo "fresh-check: FAILED: ./play.sh --still 150 failed in a clean Debian 12 root" >&2
  exit 1
fi
echo "fresh-check: play.sh installed, built and rendered in $((SECONDS - play_started)) s"
if [ ! -s "$system/root/fresh.png" ]; then
  echo "fresh-check: FAILED: play.sh wrote no still" >&2
  exit 1
fi

# The same still rendered here, the same way.
step env -u DISPLAY -u WAYLAND_DISPLAY "$root/play.sh" --still 150 --output "$work/here.png" \
  >"$work/here.log" 2>&1 || {
  tail -20 "$work/here.log" >&2
  exit 1
}
psnr=$(psnr_of "$system/root/fresh.png" "$work/here.png")
echo "fresh-check: the clean root's still against this machine's: PSNR ${psnr:-?} dB"
if ! close_enough "$psnr"; then
  echo "fresh-check: FAILED: the stills differ (PSNR below 40 dB)" >&2
  exit 1
fi

# The package, built here, installed with apt into a root that has none of the build's packages.
step "$root/scripts/package.sh" "$work/deb" >"$work/package.out" 2>"$work/package.log" || {
  tail -20 "$work/package.log" >&2
  exit 1
}
deb=$(tail -1 "$work/package.out")
installed="$work/installed"
new_root "$installed"
cp "$deb" "$installed/root/"
install_started=$SECONDS
if ! inside "$installed" "apt-get -o Acquire::Retries=3 update -qq && DEBIAN_FRONTEND=noninteractive \
    apt-get -o Acquire::Retries=3 install -y \
    -qq ./$(basename "$deb") && heptad --version && heptad-capture --version && \
    heptad-capture --still 150 --size 1280x720 --output installed.png" >"$work/install.log" 2>&1; then
  tail -30 "$work/install.log" >&2
  echo "fresh-check: FAILED: the package did not install and render in a clean Debian 12 root" >&2
  exit 1
fi
grep -E '^heptad' "$work/install.log" || true
echo "fresh-check: apt installed $(basename "$deb") and its dependencies and rendered in" \
  "$((SECONDS - install_started)) s"
psnr=$(psnr_of "$installed/root/installed.png" "$work/here.png")
echo "fresh-check: the installed program's still against this machine's: PSNR ${psnr:-?} dB"
if ! close_enough "$psnr"; then
  echo "fresh-check: FAILED: the installed program's still differs (PSNR below 40 dB)" >&2
  exit 1
fi

if $run_tests; then
  echo "fresh-check: ./test.sh in the clean root"
  tests_started=$SECONDS
  if ! inside "$system" 'cd heptad && ./test.sh' >"$work/test.log" 2>&1; then
    grep -E 'tests passed|Failed|\*\*\*' "$work/test.log" | tail -30 >&2
    echo "fresh-check: FAILED: ./test.sh failed in a clean Debian 12 root" >&2
    exit 1
  fi
  grep -E 'tests passed' "$work/test.log" || true
  echo "fresh-check: test.sh passed in $((SECONDS - tests_started)) s"
fi
echo "fresh-check: passed in $((SECONDS - started)) s"
