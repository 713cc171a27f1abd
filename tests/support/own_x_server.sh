#!/usr/bin/env bash
# Runs a command on a virtual X server of its own and returns its status.
#   own_x_server.sh WIDTHxHEIGHT COMMAND...
# The server picks its display number itself (-displayfd): it takes the first number whose lock
# file and sockets it can claim, so two servers started at once never share one. xvfb-run -a only
# looks for lock files, which a server in another root (a chroot shares this machine's abstract
# sockets, not its /tmp) or one still starting up does not show; the command could then be handed
# a display that another server answers, and fail to open its window there.
set -u
size=$1
shift
log=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$log.display" 2>"$log" &
server=$!
# The number is written once the server accepts connections.
for _ in $(seq 300); do
  [ -s "$log.display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
display=$(head -1 "$log.display" 2>/dev/null)
if [ -z "$display" ]; then
  echo "own_x_server: Xvfb did not start:" >&2
  cat "$log" >&2
  kill "$server" 2>/dev/null
  rm -f "$log" "$log.display"
  exit 1
fi
# In the foreground, so that it meets signals as it would without this script (a command started
# in the background here would ignore SIGINT). A timeout or a Ctrl-C signals the whole process
# group, the server with it.
trap 'kill "$server" 2>/dev/null; rm -f "$log" "$log.display"' EXIT
DISPLAY=":$display" "$@"
