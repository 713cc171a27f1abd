#!/usr/bin/env bash
# Proves that a new user's first command works on a clean Debian 12, so that a missing install
# step cannot hide behind packages this machine happens to have. It makes a minimal Debian 12
# root with debootstrap, clones this checkout into it and runs the README's own command there,
# `./play.sh --still 150`, with no display: the install, the build and a real still. It passes
# only if that still matches the one this checkout renders here at 40 dB PSNR or better.
#   scripts/fresh-check.sh          the check above (about 10 minutes on two cores)
#   scripts/fresh-check.sh --tests  then ./test.sh in the same root as well (much longer)
# Needs root and debootstrap (a test package). The root lives under FRESH_CHECK_DIR (default
# /var/tmp) and is removed, mounts first, on every way out, Ctrl-C included.
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
system="$work/root"
mounts=()

# Everything still running inside the root goes first, then its mounts, innermost first. The
# root is removed only once nothing is mounted below it: a bound /dev must never be emptied.
cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$system" ] && kill -9 "$pid" 2>/dev/null
  done
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || true
  done
  if findmnt -rn -o TARGET | grep -q "^$system"; then
    echo "fresh-check: $system still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_in() { # mount_in TARGET MOUNT-ARGUMENTS...
  mkdir -p "$system$1"
  mount "${@:2}" "$system$1"
  mounts+=("$system$1")
}

started=$SECONDS
# The same mirror as apt-get here.
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
mirror=${mirror:-http://deb.debian.org/debian}
echo "fresh-check: a minimal Debian 12 root from $mirror in $system"
debootstrap --variant=minbase bookworm "$system" "$mirror" >"$work/debootstrap.log" 2>&1 || {
  tail -20 "$work/debootstrap.log" >&2
  exit 1
}
# What any Debian machine has from its installer: name resolution, the package sources (with the
# updates this machine gets, so both render with the same Mesa), and where this workplace reaches
# the registries through its own certificate authorities, those and the npm settings.
cp /etc/resolv.conf "$system/etc/resolv.conf"
if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
  cp /etc/apt/sources.list.d/*.sources "$system/etc/apt/sources.list.d/"
  rm -f "$system/etc/apt/sources.list"
fi
if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
  mkdir -p "$system/usr/local/share/ca-certificates"
  cp /usr/local/share/ca-certificates/*.crt "$system/usr/local/share/ca-certificates/"
fi
for npmrc in /etc/npmrc /root/.npmrc; do
  [ -f "$npmrc" ] && cp "$npmrc" "$system$npmrc"
done
mount_in /proc -t proc proc
mount_in /sys -t sysfs sys
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /tmp -t tmpfs tmpfs
echo "fresh-check: root ready after $((SECONDS - started)) s"

# A clone of what is committed here, as a new user's clone would be.
git clone -q --no-hardlinks "$root" "$system/root/heptad"
inside() {
  chroot "$system" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb bash -c "$1"
}

echo "fresh-check: ./play.sh --still 150 in the clean root"
play_started=$SECONDS
if ! inside 'cd /root/heptad && ./play.sh --still 150 --output /root/fresh.png' \
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
env -u DISPLAY -u WAYLAND_DISPLAY "$root/play.sh" --still 150 --output "$work/here.png" \
  >"$work/here.log" 2>&1 || {
  tail -20 "$work/here.log" >&2
  exit 1
}
psnr=$(ffmpeg -hide_banner -nostats -i "$system/root/fresh.png" -i "$work/here.png" \
  -lavfi psnr -f null - 2>&1 | sed -n 's/.*PSNR.* average:\([^ ]*\).*/\1/p')
echo "fresh-check: the clean root's still against this machine's: PSNR ${psnr:-?} dB"
if [ "$psnr" != inf ] && ! awk -v p="${psnr:-0}" 'BEGIN { exit !(p >= 40) }'; then
  echo "fresh-check: FAILED: the stills differ (PSNR below 40 dB)" >&2
  exit 1
fi

if $run_tests; then
  echo "fresh-check: ./test.sh in the clean root"
  tests_started=$SECONDS
  if ! inside 'cd /root/heptad && ./test.sh' >"$work/test.log" 2>&1; then
    grep -E 'tests passed|Failed|\*\*\*' "$work/test.log" | tail -30 >&2
    echo "fresh-check: FAILED: ./test.sh failed in a clean Debian 12 root" >&2
    exit 1
  fi
  grep -E 'tests passed' "$work/test.log" || true
  echo "fresh-check: test.sh passed in $((SECONDS - tests_started)) s"
fi
echo "fresh-check: passed in $((SECONDS - started)) s"
