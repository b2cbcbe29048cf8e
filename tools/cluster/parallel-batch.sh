#!/usr/bin/env bash
# Measures many images as independent jobs of GNU parallel, on this machine's
# cores or on several hosts, and merges the rows: the result is what one
# `dimora3-cli batch MEASUREMENT --format jsonl FILE...` call writes.
#
#   tools/cluster/parallel-batch.sh MEASUREMENT FILE_LIST [SHARE] [HOSTS]
#
# FILE_LIST holds one image path per line (for example `find leaves -name
# '*.png' | sort`). Each job measures SHARE files (default 50) with one batch
# call; --keep-order writes the jobs' rows in the order of the list. HOSTS is
# a GNU parallel --sshlogin list such as ":,node1,node2" (":" is this machine);
# every host needs dimora3-cli on its PATH (DIMORA3_CLI names another one) and
# the files at the same paths.
set -euo pipefail
measurement=$1
list=$2
share=${3:-50}
hosts=${4:-:}
cli=${DIMORA3_CLI:-dimora3-cli}
parallel --keep-order --max-args "$share" --sshlogin "$hosts" --arg-file "$list" \
  "$cli" batch "$measurement" --format jsonl --jobs 1 --no-progress {}
