#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Idempotent: when everything is present it changes nothing and installs nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev lld
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libfontconfig-dev libfreetype-dev fonts-liberation2
  libsdl2-dev libx11-dev nlohmann-json3-dev
  xvfb xdotool xclip poppler-utils
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Node.js and npm serve the tests that compare with a package from the npm registry.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests that guard locale independence run under a locale whose decimal point is a comma. localedef
# reports harmless warnings of the locale sources with a non-zero status: the list of locales decides.
has_comma_locale() { locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; }
if ! has_comma_locale; then
  echo "setup: generating the locale de_DE.UTF-8"
  "${sudo_cmd[@]}" localedef -i de_DE -c -f UTF-8 -A /usr/share/locale/locale.alias de_DE.UTF-8 || true
  has_comma_locale || { echo "setup: could not generate the locale de_DE.UTF-8" >&2; exit 1; }
fi

# npm folders of the tests that compare with a reference engine. "npm ci" runs only when the installed tree is
# missing or older than the committed lock file.
root="$(cd "$(dirname "$0")/.." && pwd)"
for dir in grid/formula/tests/differential; do
  [ -f "$root/$dir/package-lock.json" ] || continue
  stamp="$root/$dir/node_modules/.package-lock.json"
  if [ ! -f "$stamp" ] || [ "$root/$dir/package-lock.json" -nt "$stamp" ]; then
    echo "setup: npm ci in $dir"
    (cd "$root/$dir" && npm ci --no-audit --no-fund --loglevel=error)
  fi
done
