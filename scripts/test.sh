#!/usr/bin/env bash
# Checks the include rule, installs what is missing, builds everything and runs every test; then
# runs the threaded tests under ThreadSanitizer, and every test that builds without the GUI and the
# command-sequence test under AddressSanitizer/UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
HOLLOWMERE_FUZZ=ON bash scripts/setup.sh  # clang for the fuzz smoke runs

# The layer rule of the includes, after the checker's own test.
python3 scripts/check_includes_test.py
python3 scripts/check_includes.py src

jobs=2
build_and_test() {  # folder, ctest label options or "", build target or "" for all, cmake options...
    local dir=$1 label=$2 target=$3
    shift 3
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    local targets=()
    [ -n "$target" ] && targets=(--target "$target")
    cmake --build "$dir" -j "$jobs" "${targets[@]}"
    local filter=()
    read -r -a filter <<<"$label"
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" "${filter[@]}"
}

build_and_test build "" "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The Debian package from that build, with a vendor id so that the udev rule is in it.
HOLLOWMERE_HID_VID=1234 bash scripts/package.sh build
bash scripts/check_package.sh build/hollowmere_*.deb
if [ "${HOLLOWMERE_SKIP_SANITIZERS:-0}" != 1 ]; then
    sanitized=(-DCMAKE_BUILD_TYPE=Debug -DHOLLOWMERE_GUI=OFF -DHOLLOWMERE_BENCH=OFF)
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        build_and_test build-tsan "-L threads" "" "${sanitized[@]}" -DHOLLOWMERE_TSAN=ON
    # Every test that builds without the GUI but the long ones: the parsers, the record store with
    # its summaries, the files, the link and the publisher.
    ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
        build_and_test build-asan "-LE long" "" "${sanitized[@]}" -DHOLLOWMERE_ASAN=ON
    # The command-sequence test needs the window: its target alone, with the GUI. Leaks are left to
    # the stage above; Qt and the font libraries keep caches to the end of the process.
    ASAN_OPTIONS="detect_leaks=0" UBSAN_OPTIONS="print_stacktrace=1" \
        build_and_test build-asan-gui "-L sequence" command_sequence_tests -DCMAKE_BUILD_TYPE=Debug \
        -DHOLLOWMERE_BENCH=OFF -DHOLLOWMERE_ASAN=ON
    if [ -n "$(ls fuzz/*.cmake 2>/dev/null)" ]; then
        build_and_test build-fuzz "-L fuzz" "" -DCMAKE_BUILD_TYPE=Debug -DHOLLOWMERE_FUZZ=ON \
            -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    fi
fi
