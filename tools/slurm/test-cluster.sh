#!/usr/bin/env bash
# Starts a one-node Slurm cluster on this machine (munge, slurmctld, slurmd,
# with a slurm.conf for localhost made here), runs the dimora3-batch array job
# over the sample and test images, and checks that the merged parts equal one
# batch call; everything it started is stopped at the end.
#   tools/slurm/test-cluster.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
cli=$(realpath "$build/src/cli/dimora3-cli")
work=$(mktemp -d /tmp/dimora-slurm.XXXXXX)
chmod 755 "$work"
tasks=3

cleanup() {
  [ -n "${SLURM_CONF:-}" ] && scontrol shutdown > /dev/null 2>&1 || true
  [ -f "$work/munged.pid" ] && kill "$(cat "$work/munged.pid")" 2> /dev/null || true
  sleep 1
  rm -rf "$work"
}
trap cleanup EXIT

# munge with a key of its own.
mkdir -p "$work/munge"
dd if=/dev/urandom of="$work/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$work/munge/munge.key"
munged --force --key-file="$work/munge/munge.key" --socket="$work/munge/socket" \
  --pid-file="$work/munged.pid" --log-file="$work/munge/log" --seed-file="$work/munge/seed"

cpus=$(nproc)
cat > "$work/slurm.conf" <<CONF
ClusterName=dimora
SlurmctldHost=localhost
SlurmUser=$(id -un)
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge/socket
CredType=cred/munge
SlurmctldPort=16817
SlurmdPort=16818
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
MpiDefault=none
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
NodeName=localhost CPUs=$cpus State=UNKNOWN
PartitionName=main Nodes=localhost Default=YES MaxTime=INFINITE State=UP
CONF
mkdir -p "$work/state" "$work/spool"
export SLURM_CONF=$work/slurm.conf
slurmctld -c
slurmd
for _ in $(seq 60); do
  sinfo -h -o %T 2> /dev/null | grep -qE '^(idle|mixed)' && break
  sleep 1
done
sinfo -h -o %T | grep -qE '^(idle|mixed)'

find "$root/samples" "$root/tests/data/bmpsuite/g" -name '*.bmp' | sort > "$work/list.txt"
mkdir -p "$work/out"
DIMORA3_CLI=$cli sbatch --wait --quiet --array=0-$((tasks - 1)) "$root/tools/slurm/dimora3-batch.sbatch" \
  black "$work/list.txt" "$work/out"
"$root/tools/slurm/merge.sh" "$work/out" "$tasks" > "$work/merged.jsonl"
mapfile -t files < "$work/list.txt"
"$cli" batch black "${files[@]}" --format jsonl --no-progress > "$work/one.jsonl" || [ $? -eq 1 ]
cmp "$work/merged.jsonl" "$work/one.jsonl"
echo "slurm array job of $tasks tasks: $(wc -l < "$work/merged.jsonl") rows, equal to one batch call"
