#!/bin/sh
# Runs every fuzz target for a bounded time: run-all.sh BIN_DIR [SECONDS_EACH]
set -e
bin=$1
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
for target in "$bin"/fuzz_*; do
    name=$(basename "$target")
    corpus="$bin/../corpus/$name"
    mkdir -p "$corpus"
    echo "== $name: ${seconds}s"
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$bin/../$name-" "$corpus" "$root/tests/fixtures/fuzz/$name"
done
echo "fuzzing finished: no crash, leak or timeout"
