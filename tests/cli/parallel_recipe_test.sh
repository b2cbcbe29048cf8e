#!/usr/bin/env bash
# The GNU parallel recipe (tools/cluster/parallel-batch.sh) on this machine's
# cores gives exactly the rows of one batch call over the same file list.
#   parallel_recipe_test.sh DIMORA3_CLI SOURCE_DIR
set -euo pipefail
cli=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$root/tests/data/bmpsuite/g" "$root/tests/data/pngsuite" -name 'bas*' -o -name '*.bmp' | sort > "$work/list.txt"
test "$(wc -l < "$work/list.txt")" -gt 20
DIMORA3_CLI=$cli "$root/tools/cluster/parallel-batch.sh" black "$work/list.txt" 4 > "$work/parts.jsonl" || true
mapfile -t files < "$work/list.txt"
"$cli" batch black "${files[@]}" --format jsonl --no-progress > "$work/one.jsonl" || true
test -s "$work/one.jsonl"
cmp "$work/parts.jsonl" "$work/one.jsonl"
