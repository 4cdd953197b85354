#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for a bounded time (seconds, default 600), all at once. Not part of CI.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_container fuzz_unscramble fuzz_linelist fuzz_passwords fuzz_journals)
out=fuzz/out
mkdir -p "$out"
core=(src/core/Errors.cpp src/core/Cp1251.cpp src/core/LineList.cpp src/core/Codecs.cpp
      src/core/Files.cpp src/core/Random.cpp src/core/Scramble.cpp src/core/FolderAccess.cpp)
# A seed for each target that has none yet.
for t in fuzz_container fuzz_unscramble fuzz_linelist fuzz_passwords fuzz_journals; do mkdir -p "fuzz/corpus/$t"; done
[ -n "$(ls -A fuzz/corpus/fuzz_passwords)" ] ||
  printf 'ivanov@pw\r\nIvanov@pw@10@09/12/26\r\nPetrov@x@11@09/12/26\r\n' > fuzz/corpus/fuzz_passwords/seed
[ -n "$(ls -A fuzz/corpus/fuzz_journals)" ] ||
  printf 'hist.fzk@History\r\n1@a.fzk@A@5\r\n\r\nx@HIST.FZK@B@3\r\n09/12/26@10@Ivanov@1@101@66@4@r.fzr\r\n' > fuzz/corpus/fuzz_journals/seed
flags=(-std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -Isrc/core -Isrc/exam -Isrc/session -Isrc/records -Isrc/lang $(pkg-config --cflags Qt6Core))
libs=($(pkg-config --libs Qt6Core) -lz)
moc=$(pkg-config --variable=libexecdir Qt6Core)/moc
"$moc" src/exam/ListStreams.h -o "$out/moc_ListStreams.cpp"
for t in "${targets[@]}"; do
  clang++ "${flags[@]}" "fuzz/$t.cpp" "${core[@]}" src/exam/ListStreams.cpp "$out/moc_ListStreams.cpp" \
    src/session/Registration.cpp src/records/Journals.cpp src/records/JournalExport.cpp src/records/Scoring.cpp \
    src/core/DateFormat.cpp src/lang/Messages.cpp src/core/Paths.cpp src/exam/Questions.cpp src/exam/Settings.cpp \
    "${libs[@]}" -o "$out/$t"
done
pids=()
for t in "${targets[@]}"; do
  mkdir -p "fuzz/corpus/$t"
  (cd "$out" && ./"$t" -max_total_time="$seconds" -rss_limit_mb=4096 -max_len=65536 \
      "../corpus/$t" > "$t.log" 2>&1; echo "exit $?" >> "$t.log") &
  pids+=($!)
done
wait "${pids[@]}"
for t in "${targets[@]}"; do
  echo "$t: $(grep -E '^#[0-9]+.*(DONE|pulse)' "$out/$t.log" | tail -n 1) $(tail -n 1 "$out/$t.log")"
done
