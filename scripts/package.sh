#!/usr/bin/env bash
# Builds the Debian package of the programs:
#   HOLLOWMERE_HID_VID=04d8 scripts/package.sh [BUILD_FOLDER]
# The vendor id (four hexadecimal digits) puts the udev rule for the dongle into the package;
# without it the package has none and the install says so. The package lands in the build
# folder (default build-package; scripts/test.sh reuses its own build folder).
# Install it with: sudo apt-get install ./build-package/hollowmere_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=${1:-build-package}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHOLLOWMERE_HID_VID="${HOLLOWMERE_HID_VID:-}" >/dev/null
cmake --build "$dir" -j 2 --target hollowmere hollowmere-record hollowmere-sim hollowmere-stats man_pages app_icon_files
rm -f "$dir"/hollowmere_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/hollowmere_*.deb
