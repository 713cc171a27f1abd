#!/usr/bin/env bash
# Each room of src/ may include only its own headers and those of the rooms that src/CMakeLists.txt
# lets it use (heptad_room(NAME USES ...)): the build's table is the one list of arrows. Every
# #include "room/..." in src/ that crosses it is named with its file and line, and fails the test;
# so does a room that the table does not name. The check is tried on a crossing of its own first.
# Usage: bash room_arrows_test.sh <runtime dir> <build dir> (both unused).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

# "room used used ..." for every heptad_room line of the table.
rooms_table() {
  grep -v '^ *#' "$1" | tr '\n' ' ' | grep -o 'heptad_room([a-z]*[^)]*)' |
    sed -E 's/^heptad_room\(//; s/\)$//; s/ +/ /g; s/ (LIBS|EXTRA) .*//; s/ USES / /'
}

# Prints "file:line: room includes other/x.h" for each include below $2 that $1's table refuses.
crossings() {
  local table=$1 tree=$2
  declare -A allowed=()
  local room uses
  while read -r room uses; do
    allowed[$room]=" $room $uses "
  done < <(rooms_table "$table")
  grep -rn --include='*.cpp' --include='*.h' '^#include "[a-z_]*/' "$tree" |
    while IFS= read -r hit; do
      local file=${hit%%:*} rest=${hit#*:}
      local line=${rest%%:*}
      local room=${file#"$tree"/}
      room=${room%%/*}
      local target
      target=$(sed -E 's/^[0-9]+:#include "([a-z_]+)\/.*/\1/' <<<"$rest")
      if [ -z "${allowed[$room]+x}" ]; then
        echo "${file#"$root"/}:$line: room $room is not in the table"
      elif [[ ${allowed[$room]} != *" $target "* ]]; then
        echo "${file#"$root"/}:$line: $room may not include $target/ ($(sed -E 's/^[0-9]+://' <<<"$rest"))"
      fi
    done
}

status=0
# The check must see a crossing: scenes reaching up into the demo.
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
mkdir -p "$sample/scenes" "$sample/demo"
printf 'heptad_room(demo USES scenes)\nheptad_room(scenes USES render)\n' >"$sample/table"
printf '#include "scenes/a.h"\n#include "render/gl.h"\n#include "demo/timeline.h"\n' \
  >"$sample/scenes/a.cpp"
printf '#include "scenes/a.h"\n' >"$sample/demo/b.cpp"
found=$(crossings "$sample/table" "$sample")
if [ "$(wc -l <<<"$found")" != 1 ] || [[ $found != *"a.cpp:3: scenes may not include demo/"* ]]; then
  echo "FAIL: the check missed or misplaced a crossing: $found"
  status=1
fi

found=$(crossings "$root/src/CMakeLists.txt" "$root/src")
if [ -n "$found" ]; then
  echo "$found"
  echo "FAIL: includes that cross the rooms' table in src/CMakeLists.txt"
  status=1
fi
[ $status -eq 0 ] && echo "rooms: every include in src/ follows the table"
exit $status
