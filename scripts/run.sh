#!/usr/bin/env bash
# Installs what is needed, builds the program into dist/, creates the
# database if it is missing (an existing one is never touched) and starts it
# in its own folder, where its files are and its save dialog opens.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTMS_BUILD_TESTS=OFF -DTMS_BUILD_BENCH=OFF
cmake --build build/release
cmake --install build/release --prefix dist
dist/tmsdb-create dist/db/tmsdb.mdb
cd dist
exec ./cangyitong
