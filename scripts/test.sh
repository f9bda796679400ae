#!/usr/bin/env bash
# Builds everything in the default preset (debug, sanitizers) and runs every test; then builds the release preset,
# where the benchmarks measure, and runs each benchmark once (BenchSmoke.*).
# Does all set-up on a fresh machine first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default
cmake --build --preset default
ctest --preset default -j "$(nproc)"
cmake --preset release
cmake --build --preset release
ctest --preset release -j "$(nproc)"
