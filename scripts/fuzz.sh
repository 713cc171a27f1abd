#!/usr/bin/env bash
# Builds the libFuzzer harnesses of the image and HDR sky decoders with clang into build-fuzz/
# and runs both at once for a bounded time (FUZZ_SECONDS, 60 by default), starting from seed
# pictures we generate and from the regression inputs under tests/fuzz/regressions/. A crash,
# a hang or a sanitizer report fails; its input is left in build-fuzz/crashes/, to be committed
# under tests/fuzz/regressions/<harness>/ together with the fix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}
if [ ! -f "$build/CMakeCache.txt" ]; then
  CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)"

seeds="$build/seeds"
rm -rf "$seeds" "$build/crashes"
mkdir -p "$seeds/pictures" "$seeds/image" "$seeds/hdr" "$build/crashes"
"$build/make_test_images" "$seeds/pictures"
cp "$seeds/pictures/"*.png "$seeds/pictures/"*.jpg "$seeds/pictures/"*.bmp \
  "$seeds/pictures/"*.tga "$seeds/image/"
# The sky decoder also meets pictures of other kinds, which it must refuse.
cp "$seeds/pictures/"*.hdr "$seeds/pictures/grey.png" "$seeds/hdr/"

for harness in image hdr; do
  mkdir -p "$build/corpus/$harness" "$root/tests/fuzz/regressions/$harness"
  "$build/${harness}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/crashes/$harness-" \
    "$build/corpus/$harness" "$seeds/$harness" "$root/tests/fuzz/regressions/$harness" \
    >"$build/$harness.log" 2>&1 &
done
failed=0
wait -n || failed=1
wait -n || failed=1

for harness in image hdr; do
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$harness.log")
  crashes=$(find "$build/crashes" -name "$harness-*" | wc -l)
  echo "$harness decoder: ${executions:-?} executions in $seconds s, $crashes crashes or hangs"
done
if [ "$failed" -ne 0 ] || [ -n "$(ls -A "$build/crashes")" ]; then
  for harness in image hdr; do
    grep -A30 '==ERROR\|runtime error\|ALARM\|deadly signal' "$build/$harness.log" | head -60 || true
  done
  echo "fuzzing found a failure: inputs in $build/crashes"
  exit 1
fi
