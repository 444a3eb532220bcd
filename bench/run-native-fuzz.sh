#!/usr/bin/env bash
# Builds the option-file and list-file readers natively with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs them (outside CI):
#   bash bench/run-native-fuzz.sh [RUNS]        # default 1,000,000 inputs
# Installs clang and its runtime from Debian's packages when they are missing. The corpus starts
# from bench/fuzz/corpus (first byte 0: option file, 1: list file); new inputs that reach new
# code go to build/native-fuzz/corpus, crashes to build/native-fuzz/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get install -y clang libclang-rt-dev >/dev/null
fi
out="$root/build/native-fuzz"
mkdir -p "$out/corpus"
for f in "$root"/bench/fuzz/corpus/*.opt; do { printf '\0'; cat "$f"; } >"$out/corpus/$(basename "$f").in"; done
for f in "$root"/bench/fuzz/corpus/*.sop; do { printf '\1'; cat "$f"; } >"$out/corpus/$(basename "$f").in"; done
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$root/src" "$root/bench/fuzz/NativeReaderFuzz.cpp" "$root/src/options/OptionFile.cpp" \
  "$root/src/options/ListFile.cpp" "$root/src/toolkit/CountedString.cpp" -o "$out/reader_fuzz"
cd "$out"
# A single allocation above 64 MB, or more than 1 GB in use, counts as a failure; inputs are up
# to 256 KB, so a reader's data must stay within a small multiple of its input.
status=0
./reader_fuzz -runs="$runs" -max_len=262144 -malloc_limit_mb=64 -rss_limit_mb=1024 -timeout=10 \
  -print_final_stats=1 corpus >fuzz.log 2>&1 || status=$?
grep -E "^(#[0-9]+ +DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)" fuzz.log || true
echo "exit status $status (log: $out/fuzz.log)"
exit $status
