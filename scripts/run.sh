#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
#   scripts/run.sh            with the dongle simulated inside the application (hollowmere --simulate),
#                             using a demo documents folder in build/ so your own settings stay untouched
#   scripts/run.sh --dongle   with your own settings and the USB dongle of define.ini
# Further arguments go to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j 2

if [ "${1:-}" = "--dongle" ]; then
    shift
    exec build/bin/hollowmere "$@"
fi

demo="$PWD/build/demo-documents"
setup="$demo/Quillmark/Brisquent/Setup"
mkdir -p "$setup"
if [ ! -f "$setup/lastone.ini" ]; then
    printf '[user]\r\nsystem-no=5\r\n' >"$setup/lastone.ini"
fi
export XDG_DOCUMENTS_DIR="$demo"
echo "Simulated dongle inside the application; demo settings and data in $demo"
exec build/bin/hollowmere --simulate "$@"
