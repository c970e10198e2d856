#!/usr/bin/env bash
# Renders every example request into out/<name>.pdf with the given generator binary, and says
# what happened to each; fails when any example does not render.
set -uo pipefail
binary=${1:-build/release/vlgen}
mkdir -p out
status=0
for request in examples/*.json; do
    name=$(basename "$request" .json)
    if "$binary" --input "$request" --output "out/$name.pdf" 2>"out/$name.err"; then
        echo "$request -> out/$name.pdf ($(stat -c %s "out/$name.pdf") bytes)"
    else
        echo "$request -> $(cat "out/$name.err")" >&2
        status=1
    fi
done
exit $status
