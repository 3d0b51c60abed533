#!/usr/bin/env bash
# Installs what is needed, builds Tidewell, runs every test, and builds and
# checks the Debian package.
# TIDEWELL_SANITIZE=1 builds into build-asan with AddressSanitizer and
# UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build
flags=(-DCMAKE_INSTALL_PREFIX=/usr)
if [ "${TIDEWELL_SANITIZE:-0}" = 1 ]; then
    build=build-asan
    flags+=(-DTIDEWELL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
if [ "${TIDEWELL_SANITIZE:-0}" != 1 ]; then
    scripts/check-package.sh "$build"
fi
