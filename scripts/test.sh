#!/usr/bin/env bash
# Builds everything in the default preset (debug, sanitizers) and runs every test; then builds the benchmark programs
# of the release preset, where they measure, and runs each benchmark once (BenchSmoke.*).
# Does all set-up on a fresh machine first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default
cmake --build --preset default
# One test more at a time than there are cores: the on-screen tests (one at a time, the longest first) mostly wait on
# their X server, the longest for minutes.
ctest --preset default -j "$(($(nproc) + 1))"
cmake --preset release
# The benchmark programs and what they link, nothing else of the preset (the demo builds the rest).
cmake --build --preset release --target benchmarks
ctest --preset release -j "$(nproc)"
