#!/usr/bin/env bash
# Runs one fuzz target for a time with the limits every input must keep: memory, time and size.
# Usage: fuzz/run.sh FUZZER SEEDS CORPUS SECONDS [libFuzzer options...]
# SEEDS (the kept corpus under fuzz/corpus, may be missing) is only read; new inputs go to CORPUS.
set -euo pipefail
fuzzer=$1 seeds=$2 corpus=$3 seconds=$4
shift 4
mkdir -p "$corpus"
dirs=("$corpus")
[ -d "$seeds" ] && dirs+=("$seeds")
# Every input: under 512 MB resident (no single allocation above that either), under 5 s, at most
# 4 KB. Findings go beside the corpus (CORPUS-crash-...), not into the working folder.
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$corpus-" "$@" "${dirs[@]}"
