#!/usr/bin/env bash
# The store for tests, the demo and the benchmarks: OpenSSH's sshd on a free loopback port, SFTP
# only, every account locked into one chroot that holds "C:/SFTP/Installation" (the installation
# set) and "C:/Installaties" (the users' cloud installations). Needs root: it makes system users
# and a chroot, which OpenSSH wants root-owned and not group- or world-writable all the way up.
#
#   store.sh start <state-dir> [--seed <folder>] [--account <name>:<password>]...
#       Starts a store (a stale one of the same state dir is removed first) and writes
#       <state-dir>/store.env: KEY=VALUE lines with
#         KORVANT_STORE_HOST             127.0.0.1:<port>
#         KORVANT_STORE_HOSTKEY_SHA256   base64 SHA-256 of the host key, without padding
#         KORVANT_STORE_ROOT             the chroot on disk
#         KORVANT_STORE_INSTALLATION     <root>/C:/SFTP/Installation
#         KORVANT_STORE_CLOUD            <root>/C:/Installaties
#         KORVANT_STORE_USER / _PASSWORD   an account whose name holds a "-" (prefix = KORVANT_STORE_PREFIX)
#         KORVANT_STORE_USER2 / _PASSWORD2 a second account with another prefix
#         KORVANT_STORE_ACCOUNTS         every account as name:password, comma-separated
#         KORVANT_STORE_PID              the listening sshd
#         KORVANT_STORE_STATE / _SCRIPT  the state dir and this script, to stop or cut the store
#       --seed copies a folder's contents into the installation set.
#   store.sh stop <state-dir>        Stops the store: no sshd process, account, group or store
#                                    folder of it stays behind. Safe to repeat.
#   store.sh disconnect <state-dir>  Cuts every open connection; the store keeps listening.
#   store.sh root <state-dir>        Prints the store's folder on disk.
#   store.sh status <state-dir>      Exit 0 when the store is listening.
set -euo pipefail

readonly SSHD=/usr/sbin/sshd
readonly STORES=/var/lib/korvant-store

die() {
  echo "store.sh: $*" >&2
  exit 1
}

usage() {
  sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

(($# >= 2)) || usage
command=$1
state=$(realpath -m -- "$2")
shift 2

# Everything system-wide that belongs to this state dir carries one short tag derived from its path,
# so stores of different build folders never meet and a killed run's leftovers are found again.
tag=kv$(printf '%s' "$state" | sha256sum | cut -c1-8)
root=$STORES/$tag
group=$tag
config=$state/sshd_config
pidfile=$state/sshd.pid
accountsfile=$state/accounts

# The pid of this store's listening sshd, or nothing.
listener_pid() {
  local pid=""
  [ -r "$pidfile" ] && pid=$(tr -dc '0-9' <"$pidfile")
  if [ -n "$pid" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-f $config"; then
    echo "$pid"
    return
  fi
  # The pid file went missing with a wiped state dir: look for our exact configuration.
  pgrep -o -f -- "$SSHD -f $config( |\$)" || true
}

descendants() {
  local child
  for child in $(pgrep -P "$1" || true); do
    echo "$child"
    descendants "$child"
  done
}

# Kills the given processes and waits (at most 5 s) until they are gone.
kill_and_wait() {
  (($# > 0)) || return 0
  kill -KILL "$@" 2>/dev/null || true
  local tries=0 pid alive
  while ((tries < 50)); do
    alive=0
    for pid in "$@"; do
      kill -0 "$pid" 2>/dev/null && alive=1
    done
    ((alive)) || return 0
    sleep 0.1
    tries=$((tries + 1))
  done
  echo "store.sh: processes $* did not end" >&2
  return 1
}

disconnect_all() {
  local pid
  pid=$(listener_pid)
  [ -n "$pid" ] || return 0
  # shellcheck disable=SC2046
  kill_and_wait $(descendants "$pid")
}

# The accounts this store made: the recorded ones and the default names, which a lost state dir
# cannot record.
known_accounts() {
  {
    [ -r "$accountsfile" ] && cat "$accountsfile"
    echo "$tag-kassa1"
    echo "${tag}b-kassa1"
  } | sort -u
}

stop_store() {
  local pid user
  pid=$(listener_pid)
  if [ -n "$pid" ]; then
    local children
    children=$(descendants "$pid")
    # The listener first, so no connection starts while the others end.
    # shellcheck disable=SC2086
    kill_and_wait "$pid" $children
  fi
  for user in $(known_accounts); do
    if getent passwd "$user" >/dev/null; then
      # Only our own shell-less accounts of our own group.
      if id -nG "$user" | tr ' ' '\n' | grep -qx "$group"; then
        pkill -KILL -U "$user" 2>/dev/null || true
        userdel "$user" >/dev/null 2>&1 || echo "store.sh: cannot remove account $user" >&2
      fi
    fi
  done
  getent group "$group" >/dev/null && { groupdel "$group" >/dev/null 2>&1 || true; }
  case "$root" in
  "$STORES"/kv*) rm -rf -- "$root" ;;
  esac
  rm -f -- "$config" "$pidfile" "$accountsfile" "$state/store.env" "$state/host_key" \
    "$state/host_key.pub"
}

free_port() {
  python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

random_password() {
  head -c 18 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | cut -c1-16
}

add_account() {
  local name=$1 password=$2
  [[ "$name" =~ ^[a-z_][a-z0-9_.-]*$ ]] && ((${#name} <= 32)) || die "invalid account name: $name"
  if ! getent passwd "$name" >/dev/null; then
    useradd --system --no-create-home --home-dir / --shell /usr/sbin/nologin \
      --gid "$group" "$name"
  elif ! id -nG "$name" | tr ' ' '\n' | grep -qx "$group"; then
    die "account $name exists and is not this store's"
  fi
  printf '%s:%s\n' "$name" "$password" | chpasswd
  echo "$name" >>"$accountsfile"
  accounts+=("$name:$password")
}

write_config() {
  cat >"$config" <<EOF
# Generated by store.sh: an SFTP-only store on loopback.
Port $1
ListenAddress 127.0.0.1
HostKey $state/host_key
PidFile $pidfile
UsePAM no
PasswordAuthentication yes
PermitEmptyPasswords no
PubkeyAuthentication no
KbdInteractiveAuthentication no
AuthenticationMethods password
AuthorizedKeysFile none
PermitRootLogin no
AllowGroups $group
UseDNS no
ChrootDirectory $root
ForceCommand internal-sftp -u 0002
Subsystem sftp internal-sftp
AllowTcpForwarding no
AllowAgentForwarding no
AllowStreamLocalForwarding no
X11Forwarding no
PermitTTY no
PermitTunnel no
LoginGraceTime 30
MaxStartups 64
MaxAuthTries 3
LogLevel VERBOSE
EOF
}

listening() {
  local port=$1
  timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$port && head -c 4 <&3" 2>/dev/null | grep -q '^SSH-'
}

start_store() {
  local seed="" extra=()
  while (($#)); do
    case "$1" in
    --seed) (($# >= 2)) || usage; seed=$(realpath -- "$2"); shift 2 ;;
    --account) (($# >= 2)) || usage; extra+=("$2"); shift 2 ;;
    *) usage ;;
    esac
  done
  [ "$(id -u)" -eq 0 ] || die "must run as root (it makes system users and a chroot)"
  [ -x "$SSHD" ] || die "$SSHD is missing; install openssh-server"
  [ -z "$seed" ] || [ -d "$seed" ] || die "no folder to seed from: $seed"

  stop_store
  mkdir -p -- "$state"
  mkdir -p /run/sshd && chmod 755 /run/sshd

  # The chroot: root-owned and closed to others up to "/"; the cloud folder is the users' to write.
  install -d -m 755 -o root -g root "$STORES" "$root" "$root/C:" "$root/C:/SFTP" \
    "$root/C:/SFTP/Installation"
  getent group "$group" >/dev/null || groupadd --system "$group"
  install -d -m 2775 -o root -g "$group" "$root/C:/Installaties"
  if [ -n "$seed" ]; then
    cp -a -- "$seed/." "$root/C:/SFTP/Installation/"
    chmod -R a+rX -- "$root/C:/SFTP/Installation"
  fi

  accounts=()
  : >"$accountsfile"
  add_account "$tag-kassa1" "$(random_password)"
  add_account "${tag}b-kassa1" "$(random_password)"
  local entry
  for entry in "${extra[@]}"; do
    [[ "$entry" == *:* ]] || die "--account wants <name>:<password>, got $entry"
    add_account "${entry%%:*}" "${entry#*:}"
  done

  ssh-keygen -q -t ed25519 -N '' -C korvant-store -f "$state/host_key" >/dev/null
  local fingerprint
  fingerprint=$(ssh-keygen -l -E sha256 -f "$state/host_key.pub" | awk '{print $2}')
  fingerprint=${fingerprint#SHA256:}

  local port="" attempt
  for attempt in 1 2 3 4 5; do
    port=$(free_port)
    write_config "$port"
    "$SSHD" -t -f "$config" || die "sshd rejects the configuration $config"
    rm -f -- "$pidfile"
    if "$SSHD" -f "$config" -E "$state/sshd.log"; then
      local wait=0
      while ((wait < 50)) && ! listening "$port"; do
        sleep 0.1
        wait=$((wait + 1))
      done
      listening "$port" && break
    fi
    # Lost the port to someone else: stop what may have started and try another.
    local pid
    pid=$(listener_pid)
    [ -z "$pid" ] || kill_and_wait "$pid"
    port=""
  done
  [ -n "$port" ] || die "sshd did not start; see $state/sshd.log"

  local joined
  joined=$(IFS=,; echo "${accounts[*]}")
  {
    echo "KORVANT_STORE_HOST=127.0.0.1:$port"
    echo "KORVANT_STORE_HOSTKEY_SHA256=$fingerprint"
    echo "KORVANT_STORE_ROOT=$root"
    echo "KORVANT_STORE_INSTALLATION=$root/C:/SFTP/Installation"
    echo "KORVANT_STORE_CLOUD=$root/C:/Installaties"
    echo "KORVANT_STORE_USER=${accounts[0]%%:*}"
    echo "KORVANT_STORE_PASSWORD=${accounts[0]#*:}"
    echo "KORVANT_STORE_PREFIX=$tag"
    echo "KORVANT_STORE_USER2=${accounts[1]%%:*}"
    echo "KORVANT_STORE_PASSWORD2=${accounts[1]#*:}"
    echo "KORVANT_STORE_ACCOUNTS=$joined"
    echo "KORVANT_STORE_PID=$(listener_pid)"
    echo "KORVANT_STORE_STATE=$state"
    echo "KORVANT_STORE_SCRIPT=$(realpath -- "$0")"
  } >"$state/store.env.new"
  chmod 600 "$state/store.env.new"
  mv -f -- "$state/store.env.new" "$state/store.env"
  echo "store listening on 127.0.0.1:$port, host key SHA256:$fingerprint"
  echo "store folder $root; settings in $state/store.env"
}

case "$command" in
start) start_store "$@" ;;
stop) stop_store ;;
disconnect) disconnect_all ;;
root) echo "$root" ;;
status)
  pid=$(listener_pid)
  [ -n "$pid" ] && [ -r "$state/store.env" ] && listening "$(sed -n 's/^KORVANT_STORE_HOST=.*://p' "$state/store.env")"
  ;;
*) usage ;;
esac
