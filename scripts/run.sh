#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
#   scripts/run.sh            with the dongle simulated inside the application (hollowmere --simulate),
#                             using a demo documents folder in build/ so your own settings stay untouched
#   scripts/run.sh --dongle   with your own settings and the USB dongle of define.ini
#   scripts/run.sh --sim-window
#                             on a development TCP port (demo folder as above) with hollowmere-simwin,
#                             the counterpart window on its own, as the dongle: press 接続 there
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
if [ "${1:-}" = "--sim-window" ]; then
    shift
    port=${HOLLOWMERE_DEV_PORT:-50000}
    printf '[parameter]\r\nhid-vid=tcp\r\nhid-pid=%s\r\n' "$port" >"$setup/define.ini"
    echo "Application on development port $port with hollowmere-simwin; demo settings and data in $demo"
    build/bin/hollowmere "$@" &
    app=$!
    build/bin/hollowmere-simwin --port "$port" &
    simwin=$!
    # The counterpart goes with the application.
    wait "$app" || true
    kill "$simwin" 2>/dev/null || true
    wait "$simwin" 2>/dev/null || true
    exit 0
fi
echo "Simulated dongle inside the application; demo settings and data in $demo"
exec build/bin/hollowmere --simulate "$@"
