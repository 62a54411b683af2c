#!/usr/bin/env bash
# Fuzzes the data-access library's lexers and blob pieces for a while (one
# minute unless a number of seconds is given). Not part of the test run: a
# separate clang build in build/fuzz, the corpus kept in build/fuzz/corpus.
# A finding is written as build/fuzz/crash-* and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTMS_ORACLE_FUZZ=ON -DTMS_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" >/dev/null
cmake --build "$dir" -j4 --target fuzz_oracle_base
mkdir -p "$dir/corpus"
# A few seeds: lexer texts (first byte even) and blob data (first byte odd).
printf '\x00\x00select a, :p from t -- c\n/* x */ where q'"'"'[it'"'"'s]'"'"' = 1.5;' >"$dir/corpus/seed-sql"
printf '\x00\x05begin x := 1; end;\n/\nwrapped abc\n/\n' >"$dir/corpus/seed-plsql"
printf '\x01\x07aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaabbbbbbbbbbbbb' >"$dir/corpus/seed-blob"
cd "$dir"
./fuzz/fuzz_oracle_base -max_total_time="$seconds" -max_len=200000 -print_final_stats=1 corpus
