#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
#   scripts/run.sh            with the simulated dongle (hollowmere-sim) on a development TCP port,
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
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '[parameter]\r\nhid-vid=tcp\r\nhid-pid=%s\r\n' "$port" >"$setup/define.ini"
if [ ! -f "$setup/lastone.ini" ]; then
    printf '[user]\r\nsystem-no=5\r\n' >"$setup/lastone.ini"
fi
export XDG_DOCUMENTS_DIR="$demo"

build/bin/hollowmere-sim --port "$port" --sensor 800 --jitter 8 --thermo 1-10=0x100 \
    --auto-info --auto-stop-notice >/dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM HUP
echo "Simulated dongle on 127.0.0.1:$port; demo settings and data in $demo"
build/bin/hollowmere "$@"
