#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application. Extra arguments go to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j 2
exec build/bin/hollowmere "$@"
