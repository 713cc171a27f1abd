#!/usr/bin/env bash
# GLSL leaves pow(x, y) undefined for x < 0 (and for x = 0 with y <= 0). Mesa happens to turn
# pow(x, 2.0) into x * x, so a negative base passes every test here and then draws NaN bands on
# other drivers and in browsers. Every pow in the shader sources must therefore show that its
# base cannot be negative: the base is a max(), clamp(), abs(), exp(), exp2() or sqrt(), or a
# plain number.
# Usage: bash shader_pow_lint_test.sh <runtime dir> <build dir> (both unused: the sources are
# checked where they are written).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

# Prints each call whose base may be negative as "file:line:pow(base", comments left out.
unguarded_pows() {
  local file
  for file in "$@"; do
    sed 's|//.*||' "$file" | grep -n -o '\bpow *( *[^,]*' |
      grep -v -E ':pow *\( *(max|clamp|abs|exp|exp2|sqrt) *\(|:pow *\( *[0-9.]+ *$' |
      sed "s|^|${file#"$root"/}:|"
  done
}

# The check itself: it must catch the squared Gaussians that once shipped, and pass guarded
# bases.
sample=$(mktemp --suffix=.fs)
trap 'rm -f "$sample"' EXIT
cat >"$sample" <<'GLSL'
float core = exp(-pow(across / 0.01, 2.0));
colour *= 1.0 + 0.2 * exp(-pow((texCoord.y - bandY) / 0.08, 2.0));
float sheen = exp(-pow((along - sheenAt) / 0.05, 2.0)); // pow(max(x, 0.0), 2.0) in a comment
vec3 display = pow(max(linear, 0.0), vec3(1.0 / 2.2)) + pow(clamp(c, 0.0, 1.0), vec3(2.2));
float grow = pow(2.0, level) * pow(abs(x), 3.0) * mypow(x, 2.0);
GLSL
caught=$(unguarded_pows "$sample" | wc -l)
if [ "$caught" -ne 3 ]; then
  echo "the lint caught $caught of the 3 unguarded pows in its own sample, and nothing else:"
  unguarded_pows "$sample"
  exit 1
fi

offending=$(unguarded_pows "$root"/labShaders/* "$root"/labshaders/*)
if [ -n "$offending" ]; then
  echo "pow with a base that may be negative (guard it with max(..., 0.0), or multiply):"
  echo "$offending"
  exit 1
fi
echo "every pow in the shader sources has a base that cannot be negative"
