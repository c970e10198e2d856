#!/usr/bin/env bash
# Generates requests of growing size and times whole runs of the given generator binary.
set -euo pipefail
binary=${1:-build/release/vlgen}
dir=${BENCH_DIR:-/tmp/vlgen-bench}
mkdir -p "$dir"
here=$(dirname "$0")
for mb in 1 10 100; do
    request="$dir/request-${mb}mb.json"
    [ -f "$request" ] || python3 "$here/gen_request.py" --megabytes "$mb" > "$request"
    python3 "$here/time_run.py" "$binary" "$request" --runs 5
done
