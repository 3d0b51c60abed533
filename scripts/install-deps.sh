#!/usr/bin/env bash
# Installs the Debian 12 packages Tidewell needs to build, run and test;
# with --extra also those of the benches, screenshots and fuzzing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here/packages.txt")
[ "${1:-}" = "--extra" ] && lists+=("$here/packages-extra.txt")
mapfile -t packages < <(cat "${lists[@]}" | grep -v '^#' | grep -v '^$')
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
