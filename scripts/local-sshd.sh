#!/usr/bin/env bash
# A private ssh server on a free loopback port, for testing `tools/sweep --sshlogin`.
#
#   scripts/local-sshd.sh start DIR   start sshd with a temporary host key and a key for the client,
#                                     both in DIR; prints two lines:
#                                       SSHLOGIN=USER@127.0.0.1
#                                       SSH=ssh -p PORT -i DIR/client_key ... (the whole command)
#   scripts/local-sshd.sh stop DIR    stop it by the process id recorded in DIR
#
# The server listens on 127.0.0.1 only and lets in only the key made here (the current user's
# own, since the test logs in as itself). The client checks the server against a known-hosts file
# in DIR and reads no configuration of the user's. StrictModes is off because DIR, a test's
# temporary folder, belongs to whoever runs the test. Debian's sshd wants /run/sshd to exist; it
# is created when missing (an empty folder, the same one the system's sshd would use).
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
dir=$2

stop_server() {
  local pid
  [ -f "$dir/sshd.child" ] || return 0
  pid=$(cat "$dir/sshd.child")
  if [[ $pid =~ ^[0-9]+$ ]] && kill -TERM "$pid" 2>/dev/null; then
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
  fi
  rm -f "$dir/sshd.child"
  return 0
}

fail_start() {
  echo "local-sshd: $1" >&2
  [ -s "$dir/sshd.log" ] && { echo "--- $dir/sshd.log" >&2; tail -n 20 "$dir/sshd.log" >&2; }
  stop_server
  exit 1
}

start_server() {
  local sshd port user ssh_command
  sshd=$(command -v sshd || echo /usr/sbin/sshd)
  [ -x "$sshd" ] || { echo "local-sshd: sshd is not installed (scripts/install-deps.sh)" >&2; exit 1; }
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ -d /run/sshd ] || mkdir -p -m 0755 /run/sshd
  rm -f "$dir/host_key" "$dir/host_key.pub" "$dir/client_key" "$dir/client_key.pub"
  ssh-keygen -q -t ed25519 -N '' -C dravia-test-host -f "$dir/host_key"
  ssh-keygen -q -t ed25519 -N '' -C dravia-test-client -f "$dir/client_key"
  cp "$dir/client_key.pub" "$dir/authorized_keys"
  chmod 0600 "$dir/authorized_keys"
  port=$(python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
  user=$(id -un)
  cat >"$dir/sshd_config" <<EOF
ListenAddress 127.0.0.1:$port
HostKey $dir/host_key
PidFile $dir/sshd.pid
AuthorizedKeysFile $dir/authorized_keys
AllowUsers $user
StrictModes no
PubkeyAuthentication yes
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
UsePAM no
X11Forwarding no
PrintMotd no
Subsystem sftp internal-sftp
EOF
  echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$dir/host_key.pub")" >"$dir/known_hosts"
  "$sshd" -D -e -f "$dir/sshd_config" >"$dir/sshd.log" 2>&1 </dev/null &
  echo $! >"$dir/sshd.child"

  ssh_command="ssh -F /dev/null -p $port -i $dir/client_key -o IdentitiesOnly=yes -o BatchMode=yes"
  ssh_command+=" -o UserKnownHostsFile=$dir/known_hosts -o StrictHostKeyChecking=yes -o LogLevel=ERROR"
  for _ in $(seq 1 100); do
    kill -0 "$(cat "$dir/sshd.child")" 2>/dev/null || fail_start "sshd ended"
    $ssh_command "$user@127.0.0.1" true 2>/dev/null </dev/null && {
      echo "SSHLOGIN=$user@127.0.0.1"
      echo "SSH=$ssh_command"
      return 0
    }
    sleep 0.1
  done
  fail_start "sshd did not let the test key in within 10 s"
}

case $action in
  start) start_server ;;
  stop) stop_server ;;
  *) usage ;;
esac
