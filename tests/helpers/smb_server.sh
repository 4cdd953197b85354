#!/usr/bin/env bash
# A Samba server of the tests on 127.0.0.1, everything under one folder, no systemd, no root
# folders touched: the share "journal" with the user tarvikexam (password "Secret-1").
#   smb_server.sh start DIR PORT    starts smbd in the background, waits until it listens
#   smb_server.sh stop DIR          stops it
set -euo pipefail
cmd=$1 dir=$2
user=tarvikexam password=Secret-1
case "$cmd" in
start)
  port=$3
  mkdir -p "$dir"/{share,private,lock,state,cache,pid,log}
  chmod 0755 "$dir"
  chmod 0777 "$dir/share"
  id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  cat > "$dir/smb.conf" <<CONF
[global]
  workgroup = TARVIK
  server role = standalone server
  smb ports = $port
  interfaces = 127.0.0.1
  bind interfaces only = yes
  disable netbios = yes
  private dir = $dir/private
  lock directory = $dir/lock
  state directory = $dir/state
  cache directory = $dir/cache
  pid directory = $dir/pid
  log file = $dir/log/smbd.log
  passdb backend = tdbsam:$dir/private/passdb.tdb
  map to guest = never
  load printers = no
  printing = bsd
  printcap name = /dev/null
  disable spoolss = yes
[journal]
  path = $dir/share
  read only = no
  valid users = $user
  force user = $user
  create mask = 0664
  directory mask = 0775
CONF
  printf '%s\n%s\n' "$password" "$password" | smbpasswd -c "$dir/smb.conf" -a -s "$user" >/dev/null
  # A session of its own: when it stops, smbd signals its whole process group.
  setsid smbd --foreground --no-process-group -s "$dir/smb.conf" > "$dir/log/foreground.log" 2>&1 &
  echo $! > "$dir/smbd.pid"
  for _ in $(seq 1 100); do
    if (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null; then exit 0; fi
    sleep 0.05
  done
  echo "smbd did not start; see $dir/log" >&2
  exit 1
  ;;
stop)
  [ -f "$dir/smbd.pid" ] && kill "$(cat "$dir/smbd.pid")" 2>/dev/null || true
  for _ in $(seq 1 100); do
    kill -0 "$(cat "$dir/smbd.pid" 2>/dev/null || echo 0)" 2>/dev/null || exit 0
    sleep 0.05
  done
  kill -9 "$(cat "$dir/smbd.pid")" 2>/dev/null || true
  ;;
esac
