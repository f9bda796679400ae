#!/usr/bin/env bash
# Builds the release preset and runs the demo. Does all set-up on a fresh machine first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release

echo "The wizards and the demo host do not exist yet; nothing can be shown on screen."
echo "What exists is exercised by the test suite: ./scripts/test.sh"
