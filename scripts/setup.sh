#!/usr/bin/env bash
# Installs the packages the build and the tests need; a quick no-op when all are present.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libhidapi-dev libgtest-dev libgmock-dev
          googletest libbenchmark-dev fonts-noto-cjk fonts-ipafont-gothic python3 libmosquitto-dev
          mosquitto mosquitto-clients
          qt6-svg-dev help2man desktop-file-utils appstream dpkg-dev file)
if [ "${HOLLOWMERE_FUZZ:-OFF}" = "ON" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
