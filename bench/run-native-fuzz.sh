#!/usr/bin/env bash
# Builds the option-file, list-file and result-file readers natively with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, twice: 64-bit, and 32-bit (-m32, so that
# size_t is the program's own and every size computed from a file is checked in 32 bits). Runs
# both (outside CI):
#   bash bench/run-native-fuzz.sh [RUNS] [64|32|both] [SECONDS]
# Defaults: 1,000,000 inputs per build, both builds, no time limit (SECONDS ends a run earlier).
# Installs what it needs from Debian's packages when it is missing (clang, its runtimes, the
# 32-bit C++ library). A kernel that cannot run 32-bit code runs the 32-bit build through qemu's
# user-mode emulation, registered for i386 programs here when it is not already (about ten times
# slower). The corpus starts from bench/fuzz/corpus (first byte modulo 3: 0 option file, 1 list
# file, 2 result file; a result file's first byte divided by 3 also chooses a run of zeros after
# it, up to 16 GiB, as a sparse file holds); new inputs go to build/native-fuzz/corpus-64 and
# /dev/shm/corvask-native-fuzz-32 (32-bit directory reads fail on file systems with 64-bit inode
# numbers), crashes to build/native-fuzz/. Leak detection is off: it cannot stop the threads of
# an emulated process, and the readers own everything through their objects.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
which=${2:-both}
seconds=${3:-0}
sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
rt() { ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-"$1".a >/dev/null 2>&1; }
if ! command -v clang++ >/dev/null || ! rt x86_64 || ! rt i386; then
  $sudo apt-get install -y clang libclang-rt-dev >/dev/null
fi
if [ "$which" != 64 ] && [ ! -e /usr/lib32/libstdc++.so ] && ! ls /usr/lib/gcc/x86_64-linux-gnu/*/32/libstdc++.so >/dev/null 2>&1; then
  $sudo apt-get install -y g++-multilib >/dev/null
fi
out="$root/build/native-fuzz"
mkdir -p "$out"
sources=("$root/bench/fuzz/NativeReaderFuzz.cpp" "$root/src/options/OptionFile.cpp"
         "$root/src/options/ListFile.cpp" "$root/src/toolkit/CountedString.cpp"
         "$root/src/toolkit/ByteDecoder.cpp" "$root/src/toolkit/PathNames.cpp"
         "$root/src/toolkit/AnsiChars.cpp"
         "$root/src/results/ResultRecords.cpp" "$root/src/results/TextPool.cpp")

seed() { # seed DIR: the corpus with its reader bytes
  mkdir -p "$1"
  for f in "$root"/bench/fuzz/corpus/*.opt; do { printf '\0'; cat "$f"; } >"$1/$(basename "$f").in"; done
  for f in "$root"/bench/fuzz/corpus/*.sop; do { printf '\1'; cat "$f"; } >"$1/$(basename "$f").in"; done
  for f in "$root"/bench/fuzz/corpus/*.sr; do
    for b in 02 05 08 0b; do { printf "\\x$b"; cat "$f"; } >"$1/$(basename "$f").$b.in"; done
  done
}

# Runs one build; a single allocation above 64 MB, or more than 1 GB in use, counts as a failure.
fuzz() { # fuzz BITS BINARY CORPUS
  local status=0
  ( cd "$out" && ASAN_OPTIONS=detect_leaks=0 "$2" -runs="$runs" -max_total_time="$seconds" -max_len=262144 -malloc_limit_mb=64 \
      -rss_limit_mb=1024 -timeout=30 -print_final_stats=1 -artifact_prefix="$out/crash-$1-" "$3" \
      >"$out/fuzz-$1.log" 2>&1 ) || status=$?
  echo "== $1-bit build"
  grep -E "^(Done [0-9]+ runs|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)" "$out/fuzz-$1.log" || true
  echo "exit status $status (log: $out/fuzz-$1.log)"
  return $status
}

status=0
if [ "$which" != 32 ]; then
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I "$root/src" "${sources[@]}" -o "$out/reader_fuzz_64"
  seed "$out/corpus-64"
  fuzz 64 "$out/reader_fuzz_64" "$out/corpus-64" || status=$?
fi
if [ "$which" != 64 ]; then
  # Heap checks only: the point of this build is the 32-bit size arithmetic, and under qemu the
  # stack bounds ASan needs to clear a frame's poison after a throw are not found, which gives
  # false reports; the 64-bit build checks the stack.
  clang++ -m32 -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -mllvm -asan-stack=0 -I "$root/src" "${sources[@]}" -o "$out/reader_fuzz_32"
  if ! ASAN_OPTIONS=detect_leaks=0 "$out/reader_fuzz_32" -runs=0 >/dev/null 2>&1; then
    # No 32-bit mode in this kernel: qemu runs the build (binfmt_misc hands it over).
    command -v qemu-i386-static >/dev/null || $sudo apt-get install -y qemu-user-static >/dev/null
    [ -e /proc/sys/fs/binfmt_misc/register ] || $sudo mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
      echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FP' |
        $sudo tee /proc/sys/fs/binfmt_misc/register >/dev/null
    fi
  fi
  # A 32-bit directory read fails on file systems with 64-bit inode numbers; /dev/shm has small ones.
  corpus32=/dev/shm/corvask-native-fuzz-32
  seed "$corpus32"
  {
    # Emulated, the process's address space fills after some thousands of inputs (qemu's mmap,
    # not the readers: ASan's own allocator check fails on an ordinary block), so the run goes in
    # fresh processes of 5,000 inputs each over the growing corpus; a report of any other kind
    # ends it.
    total=0; started=$(date +%s); all=$runs
    while [ "$total" -lt "$all" ]; do
      runs=$(( all - total < 5000 ? all - total : 5000 ))
      chunk=0; fuzz 32 "$out/reader_fuzz_32" "$corpus32" >/dev/null || chunk=$?
      done_now=$(grep -m1 -oE "stat::number_of_executed_units: [0-9]+" "$out/fuzz-32.log" | grep -oE "[0-9]+$" || echo 0)
      total=$(( total + done_now ))
      if [ "$chunk" != 0 ] && ! grep -q "CHECK failed: asan_poisoning" "$out/fuzz-32.log"; then
        status=$chunk; fuzz_report=1; break
      fi
      rm -f "$out"/crash-32-*
      [ "$seconds" = 0 ] || [ $(( $(date +%s) - started )) -lt "$seconds" ] || break
    done
    echo "== 32-bit build: $total inputs in $(( $(date +%s) - started )) s"
    [ -z "${fuzz_report:-}" ] || grep -E "==[0-9]+==ERROR|SUMMARY|runtime error" "$out/fuzz-32.log" || true
    echo "exit status $status (last log: $out/fuzz-32.log)"
  }
fi
exit $status
