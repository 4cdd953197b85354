#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-fuzz/, CMake option TARVIK_FUZZ) and runs each for a bounded time (seconds, default
# 600), as many at once as there are cores. Seeds come from the demo exam and the tests' own
# inputs. Not part of CI.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
all=(fuzz_container fuzz_unscramble fuzz_linelist fuzz_passwords fuzz_journals fuzz_pictures fuzz_exam
     fuzz_uniform fuzz_language fuzz_lists fuzz_manager fuzz_monitor)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
out=$PWD/fuzz/out
corpus=$PWD/fuzz/corpus
mkdir -p "$out"

cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVIK_FUZZ=ON -DTARVIK_TESTS=OFF -DTARVIK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"
[ -d build/demo ] || ./tarvik.sh test >/dev/null # the demo's files seed several targets

seed() { # target, files...
  local t=$1; shift
  mkdir -p "$corpus/$t"
  [ -n "$(ls -A "$corpus/$t")" ] && return 0
  local i=0
  for f in "$@"; do
    if [ -e "$f" ]; then cat "$f" > "$corpus/$t/seed$i"; i=$((i + 1)); fi
  done
}
demo=build/demo
seed fuzz_container <(build/tools/tarvik-tool unscramble --key exam $demo/demo.uzk - 2>/dev/null)
seed fuzz_unscramble $demo/demo-scrambled.fzk $demo/subjects.fzm
seed fuzz_linelist $demo/demo.fzk
seed fuzz_uniform $demo/demo.uzk
seed fuzz_exam $demo/demo.fzk
seed fuzz_manager $demo/subjects.fzm
seed fuzz_language build/app/Language.fll
mkdir -p "$corpus/fuzz_pictures"
if [ -z "$(ls -A "$corpus/fuzz_pictures")" ]; then
  for p in triangle.jpg:0 sun.jpg:0 circle.gif:1 pentagon.gif:1 square.bmp:2; do
    { printf "\\x$(printf %02x "${p#*:}")"; cat "$demo/${p%%:*}"; } > "$corpus/fuzz_pictures/${p%%:*}"
  done
fi
mkdir -p "$corpus/fuzz_passwords" "$corpus/fuzz_journals" "$corpus/fuzz_lists" "$corpus/fuzz_monitor"
[ -n "$(ls -A "$corpus/fuzz_passwords")" ] ||
  printf 'ivanov@pw\r\nIvanov@pw@10@09/12/26\r\nPetrov@x@11@09/12/26\r\n' > "$corpus/fuzz_passwords/seed"
[ -n "$(ls -A "$corpus/fuzz_journals")" ] ||
  printf 'hist.fzk@History\r\n1@a.fzk@A@5\r\n\r\nx@HIST.FZK@B@3\r\n09/12/26@10@Ivanov@1@101@66@4@r.fzr\r\n' > "$corpus/fuzz_journals/seed"
[ -n "$(ls -A "$corpus/fuzz_lists")" ] ||
  printf '\x0110\xc0@\xc8\xe2\xe0\xed\xee\xe2\r\n10\xe0@\xcf\xe5\xf2\xf0\xee\xe2\r\n11@X\r\n' > "$corpus/fuzz_lists/seed"
[ -n "$(ls -A "$corpus/fuzz_monitor")" ] ||
  printf '\x05INFO!!@1@\xc8\xe2\xe0\xed\xee\xe2@10@demo@12@ANSWER@1@1@0@RESULT@3@DISCON@NUMBER@17@' > "$corpus/fuzz_monitor/seed"

run() {
  local t=$1
  (cd "$out" && ASAN_OPTIONS=detect_leaks=1 "$PWD/../../build-fuzz/fuzz/$t" -max_total_time="$seconds" \
      -rss_limit_mb=2048 -max_len=65536 "$corpus/$t" > "$t.log" 2>&1; echo "exit $?" >> "$t.log")
}
running=0
for t in "${targets[@]}"; do
  run "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then wait -n; running=$((running - 1)); fi
done
wait
for t in "${targets[@]}"; do
  echo "$t: $(grep -E '^#[0-9]+.*(DONE|pulse)' "$out/$t.log" | tail -n 1) $(tail -n 1 "$out/$t.log")"
done
