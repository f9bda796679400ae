#!/usr/bin/env bash
# The demo: pdnhost loads the module library as the host application does and runs the decoupling-analysis wizard
# on the 8-layer sample board end to end, from the bundled script samples/scripts/decoupling-demo.pdnscript: every
# page, headless, with a screenshot of each, the ".dao" settings file saved and the analysis handed to the host.
# It prints the host's callbacks, where the ".dao" and the screenshots were written (build/demo/, or the folder
# in BRIM_DEMO_OUT) and every setting the host reads back. Builds the release preset first, after all set-up on a
# fresh machine.
#
#   ./scripts/demo.sh              the scripted run described above
#   ./scripts/demo.sh --screen     the same wizard on the same board in a window, for a person to use
#   ./scripts/demo.sh OPTIONS...   pdnhost on the sample board with these options (--help lists them)
#
# BRIM_DEMO_PDNHOST names a pdnhost that is already built: then nothing is set up or built (the demo's test).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -n "${BRIM_DEMO_PDNHOST:-}" ]]; then
  pdnhost=$BRIM_DEMO_PDNHOST
else
  ./scripts/setup.sh
  cmake --preset release >/dev/null
  cmake --build --preset release
  pdnhost=build/release/host/pdnhost
fi

board=samples/boards/demo8.json
script=samples/scripts/decoupling-demo.pdnscript
common=(--board "$board" --names "VDD_CORE	GND" --help-file pdn_help)

# The output folder: never the source tree, so the run leaves the checkout as it was.
out=${BRIM_DEMO_OUT:-build/demo}
mkdir -p "$out"
out=$(cd "$out" && pwd)
project="$out/demo8.brd"   # the host's project file; the wizard saves its settings beside it as demo8.dao

if [[ $# -gt 0 && "$1" != "--screen" ]]; then
  exec "$pdnhost" "${common[@]}" "$@"
fi

echo "board" >"$project"
rm -f "$out/demo8.dao" "$out"/[0-9][0-9]-*.png

if [[ $# -gt 0 ]]; then
  shift
  echo "demo: the decoupling-analysis wizard on screen, \"Save settings to file\" ticked; its settings file goes to"
  echo "      $out/demo8.dao when you finish or close it"
  exec "$pdnhost" "${common[@]}" --open modal --screen --save --project "$project" "$@"
fi

echo "demo: the decoupling-analysis wizard on $board, driven headless by $script"
status=0
"$pdnhost" "${common[@]}" --open modeless --save --project "$project" --script "$script" --shots "$out" || status=$?
echo
if [[ $status -ne 0 ]]; then
  echo "demo: pdnhost ended with exit code $status (see above)" >&2
  exit "$status"
fi
echo "demo: the lines \"callback: ...\" above are the module's calls of the host (Run: the analysis to run);"
echo "      \"getters:\" are the settings the host read back after the wizard closed."
echo "demo: settings file: $out/demo8.dao"
echo "demo: screenshots of the pages: $out/"
for shot in "$out"/[0-9][0-9]-*.png; do
  echo "        $(basename "$shot")"
done
echo "demo: ./scripts/demo.sh --screen shows the same wizard in a window."
