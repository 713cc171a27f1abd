#!/usr/bin/env bash
# Every shader source in the tree passes the reference GLSL front end, so a typo fails here
# rather than as an "ERROR::" line at start-up. The stage comes from the extension.
# Usage: bash glsl_validate_test.sh <runtime dir> <build dir> (both unused: the sources are
# checked where they are written).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

if ! command -v glslangValidator >/dev/null; then
  echo "glslangValidator not found (Debian package glslang-tools)"
  exit 1
fi

checked=0
failed=0
for file in "$root"/labShaders/* "$root"/labshaders/*; do
  [ -f "$file" ] || continue
  case "$file" in
    *.vs) stage=vert ;;
    *.fs) stage=frag ;;
    *)
      echo "FAIL ${file#"$root"/}: not a .vs or .fs shader"
      failed=$((failed + 1))
      continue
      ;;
  esac
  checked=$((checked + 1))
  if output=$(glslangValidator -S "$stage" "$file" 2>&1); then
    echo "ok   ${file#"$root"/}"
  else
    echo "FAIL ${file#"$root"/}"
    echo "$output"
    failed=$((failed + 1))
  fi
done

if [ "$checked" -eq 0 ]; then
  echo "no shader sources under $root/labShaders or $root/labshaders"
  exit 1
fi
echo "$checked checked, $failed failed"
[ "$failed" -eq 0 ]
