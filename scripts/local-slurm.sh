#!/usr/bin/env bash
# A private one-node Slurm cluster inside one folder, for testing `tools/sweep --slurm`.
#
#   scripts/local-slurm.sh start DIR   start munged, slurmctld and slurmd with everything in DIR;
#                                      prints `SLURM_CONF=DIR/slurm.conf` once the node takes jobs
#   scripts/local-slurm.sh stop DIR    stop them by the process ids recorded in DIR
#
# Nothing is written outside DIR: munged gets its own key, socket, pid, log and seed files, and
# the generated slurm.conf puts every pid, log, state and spool file of the two Slurm daemons
# there. slurmctld and slurmd run in the foreground (-D) as children started here, so their ids
# are known exactly and they are stopped by them, never by name. The controller and the node talk
# over 127.0.0.1 on two ports found free at start (several clusters may run side by side).
#
# Exit status of start: 0 when the node is idle; 3 when slurmd refused to run because of the
# kernel or its control groups (its log line is printed on stderr, so a test can skip quoting
# it); 1 for any other failure. Whatever failed, everything started is stopped again.
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
dir=$2

stop_cluster() {
  local pid_file pid
  # Slurm first (it talks to munged while shutting down), munged last.
  for pid_file in "$dir/slurmd.child" "$dir/slurmctld.child" "$dir/munged.child"; do
    [ -f "$pid_file" ] || continue
    pid=$(cat "$pid_file")
    [[ $pid =~ ^[0-9]+$ ]] || continue
    kill -TERM "$pid" 2>/dev/null || { rm -f "$pid_file"; continue; }
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    rm -f "$pid_file"
  done
  return 0
}

free_port() {
  python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

# Waits (at most 30 s) until the log file holds a line matching the pattern or the process ended.
fail_start() {
  echo "local-slurm: $1" >&2
  for log in "$dir"/munged.log "$dir"/slurmctld.log "$dir"/slurmd.log "$dir"/*.stderr; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  stop_cluster
  exit "${2:-1}"
}

# slurmd's own words when the kernel or the control groups will not have it.
kernel_refusal() {
  grep -h -i -E 'cgroup|kernel|Operation not permitted|namespace' "$dir/slurmd.log" "$dir/slurmd.stderr" 2>/dev/null |
    grep -i -E 'error|fatal|refus|fail' | head -n 1
}

start_cluster() {
  local name control_port node_port conf
  for program in munged mungekey slurmctld slurmd sinfo python3; do
    command -v "$program" >/dev/null || PATH=$PATH:/usr/sbin:/sbin
    command -v "$program" >/dev/null || { echo "local-slurm: $program is not installed (scripts/install-deps.sh)" >&2; exit 1; }
  done
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  # munged refuses a socket folder that others cannot search or that anyone else may write.
  chmod 0755 "$dir"
  mkdir -p "$dir/state" "$dir/spool"
  name=$(hostname -s)
  control_port=$(free_port)
  node_port=$(free_port)
  while [ "$node_port" = "$control_port" ]; do node_port=$(free_port); done

  rm -f "$dir/munge.key"
  mungekey --create --keyfile="$dir/munge.key" >/dev/null 2>&1 ||
    { head -c 1024 /dev/urandom >"$dir/munge.key"; }
  chmod 0600 "$dir/munge.key"
  munged -F --force --key-file="$dir/munge.key" --socket="$dir/munge.socket" --pid-file="$dir/munged.pid" \
    --log-file="$dir/munged.log" --seed-file="$dir/munged.seed" >"$dir/munged.stderr" 2>&1 </dev/null &
  echo $! >"$dir/munged.child"
  for _ in $(seq 1 100); do [ -S "$dir/munge.socket" ] && break; kill -0 "$(cat "$dir/munged.child")" 2>/dev/null || break; sleep 0.1; done
  [ -S "$dir/munge.socket" ] || fail_start "munged did not start"

  conf=$dir/slurm.conf
  cat >"$conf" <<EOF
ClusterName=dravia
SlurmctldHost=$name(127.0.0.1)
SlurmctldPort=$control_port
SlurmdPort=$node_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$dir/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SwitchType=switch/none
MpiDefault=none
SchedulerType=sched/backfill
SchedulerParameters=batch_sched_delay=0,sched_min_interval=100000
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
MinJobAge=300
MailProg=/bin/true
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
SlurmctldDebug=info
SlurmdDebug=info
NodeName=$name NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=debug Nodes=$name Default=YES MaxTime=INFINITE State=UP
EOF
  export SLURM_CONF=$conf
  slurmctld -D -i -f "$conf" >"$dir/slurmctld.stderr" 2>&1 </dev/null &
  echo $! >"$dir/slurmctld.child"
  slurmd -D -N "$name" -f "$conf" >"$dir/slurmd.stderr" 2>&1 </dev/null &
  echo $! >"$dir/slurmd.child"

  local state=
  for _ in $(seq 1 300); do
    kill -0 "$(cat "$dir/slurmctld.child")" 2>/dev/null || fail_start "slurmctld ended"
    if ! kill -0 "$(cat "$dir/slurmd.child")" 2>/dev/null; then
      local refusal
      refusal=$(kernel_refusal)
      [ -n "$refusal" ] && { echo "local-slurm: slurmd refused: $refusal" >&2; stop_cluster; exit 3; }
      fail_start "slurmd ended"
    fi
    state=$(sinfo -h -N -o '%T' 2>/dev/null | head -n 1) || state=
    [ "$state" = idle ] && break
    sleep 0.1
  done
  [ "$state" = idle ] || fail_start "the node did not become idle within 30 s (state: ${state:-none})"
  echo "SLURM_CONF=$conf"
}

case $action in
  start) start_cluster ;;
  stop) stop_cluster ;;
  *) usage ;;
esac
