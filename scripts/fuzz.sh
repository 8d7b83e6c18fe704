#!/usr/bin/env bash
# Runs every libFuzzer target for MINUTES minutes, one after another, under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the limits of fuzz/run.sh. Each starts from the kept seeds
# (fuzz/corpus/NAME) and what earlier runs found (build-fuzz/fuzz/corpus/NAME). Prints each
# target's executions and executions a second; exits 1 when a target found a fault, whose input
# is then build-fuzz/fuzz/corpus/NAME-crash-... (or -leak-, -timeout-, -oom-) and its report
# build-fuzz/fuzz/NAME.log.
# Usage: scripts/fuzz.sh MINUTES [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-}
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh MINUTES [NAME...]  (MINUTES a whole number from 1)" >&2
    exit 2
fi
shift
HOLLOWMERE_FUZZ=ON bash scripts/setup.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHOLLOWMERE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j 2

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for fuzzer in build-fuzz/bin/fuzz_*; do names+=("${fuzzer#build-fuzz/bin/fuzz_}"); done
fi
stat() { sed -n "s/^stat::$2: *//p" "$1"; }
found=0
printf '%-16s %12s %10s  %s\n' target executions "per second" result
for name in "${names[@]}"; do
    log=build-fuzz/fuzz/$name.log
    result=clean
    if ! bash fuzz/run.sh "build-fuzz/bin/fuzz_$name" "fuzz/corpus/$name" "build-fuzz/fuzz/corpus/$name" \
        $((minutes * 60)) >"$log" 2>&1; then
        result="FOUND a fault: $log"
        found=1
    fi
    printf '%-16s %12s %10s  %s\n' "$name" "$(stat "$log" number_of_executed_units)" \
        "$(stat "$log" average_exec_per_sec)" "$result"
done
exit $found
