#!/usr/bin/env bash
# Joins the parts of a dimora3-batch array job in task order.
#   tools/slurm/merge.sh OUT_DIR TASKS > rows.jsonl
set -euo pipefail
out=$1
tasks=$2
for (( i = 0; i < tasks; i++ )); do
  cat "$out/part-$i.jsonl"
done
