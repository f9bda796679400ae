#!/usr/bin/env bash
# Builds the release preset and runs the demo: pdnhost loads the module library as the host application does,
# reads the 8-layer sample board and drives the decoupling-analysis wizard's interface object, printing every
# call of the module's callback and every setting the host reads back. Does all set-up on a fresh machine first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release

build/release/host/pdnhost --board samples/boards/demo8.json --names "VDD_CORE	GND" --help-file pdn_help "$@"
