#!/usr/bin/env bash
# The benchmark suite: the program's own store and archive operations side by side with curl's
# command-line tool (same libcurl) and OpenSSH's sftp, against a store of its own on loopback, on
# the bare loopback and through a delay proxy that adds 20 ms to the round trip. Prints one table.
#
#   scripts/bench.sh [--runs N] [--sweep] [--build DIR]
#     --runs N   runs per case and tool (default 5, at least 5 for figures worth quoting)
#     --sweep    also time the transfer steps with other receive and send buffer sizes
#     --build D  build folder (default build-d); it is configured Release and built when needed
#
# Needs root (the store makes system users and a chroot) and the packages of scripts/install-deps.sh.
# Everything it makes lives in <build>/bench-data and <build>/bench-store, apart from the store's
# chroot, which the store removes again. Results: <build>/bench-data/results.tsv and the table.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=build-d
runs=5
sweep=0
while (($#)); do
  case "$1" in
  --runs) runs=$2; shift 2 ;;
  --sweep) sweep=1; shift ;;
  --build) build=$2; shift 2 ;;
  *) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
[[ "$runs" =~ ^[0-9]+$ ]] && ((runs >= 1)) || { echo "bench.sh: --runs wants a number" >&2; exit 2; }
case "$build" in /*) ;; *) build=$repo/$build ;; esac

# Over the delay proxy each byte waits 10 ms each way. Big files and many small files take long at
# that round trip with the peers' buffers, so the delayed cases use a smaller file and fewer files;
# the figures are rates and per-file times, which do not depend on the count.
readonly big_mib=256 small_count=200 small_kib=16
readonly delayed_big_mib=64 delayed_small_count=50
readonly one_way_delay_ms=10
readonly listing_entries=10000

for tool in curl sftp sshpass zip python3 cmake ninja; do
  command -v "$tool" >/dev/null || { echo "bench.sh: $tool is missing; run scripts/install-deps.sh" >&2; exit 1; }
done
[ "$(id -u)" -eq 0 ] || { echo "bench.sh: must run as root (the store needs it)" >&2; exit 1; }

echo "== building in $build"
[ -f "$build/build.ninja" ] ||
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVANT_BUILD_BENCHMARKS=ON >/dev/null
ninja -C "$build" korvant_bench korvant_delay_proxy korvant_listing_bench Powershell >/dev/null
bin=$build/bin
data=$build/bench-data
state=$build/bench-store
results=$data/results.tsv
log=$data/last-command.log
mkdir -p "$data"

proxy_pid=""
cleanup() {
  [ -z "$proxy_pid" ] || kill "$proxy_pid" 2>/dev/null || true
  "$repo/tools/store/store.sh" stop "$state" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== starting the store"
"$repo/tools/store/store.sh" start "$state" >/dev/null
set -a
# shellcheck disable=SC1091
. "$state/store.env"
set +a
store_port=${KORVANT_STORE_HOST##*:}
user=$KORVANT_STORE_USER
password=$KORVANT_STORE_PASSWORD
prefix=$KORVANT_STORE_PREFIX
sets=$KORVANT_STORE_ROOT/C:/SFTP/BenchSets
listing=$KORVANT_STORE_ROOT/C:/SFTP/Listing
cloud=$KORVANT_STORE_CLOUD/$prefix/Installer
export KORVANT_DRIVES=$data/drives
korvant=$KORVANT_DRIVES/C/Korvant
peer_down=$data/peer-download
unset KORVANT_DEBUG_OUTPUT  # nobody listens to the trace, as on a user's workstation

echo "== preparing the data"
# Local files are made once and kept; the store gets hard links or copies of them each run.
make_file() { # path bytes
  [ -f "$1" ] && [ "$(stat -c %s "$1")" -eq "$2" ] && return
  mkdir -p "$(dirname "$1")"
  head -c "$2" /dev/urandom >"$1.tmp" && mv -f "$1.tmp" "$1"
}
make_set() { # folder count bytes
  local i
  mkdir -p "$1"
  for ((i = 1; i <= $2; i++)); do make_file "$(printf '%s/file-%03d.bin' "$1" "$i")" "$3"; done
}
make_set "$data/sets/big$big_mib" 1 $((big_mib << 20))
make_set "$data/sets/big$delayed_big_mib" 1 $((delayed_big_mib << 20))
make_set "$data/sets/small$small_count" "$small_count" $((small_kib << 10))
make_set "$data/sets/small$delayed_small_count" "$delayed_small_count" $((small_kib << 10))
# 1 GiB of mixed files in nested folders: a few large ones, many middling and many small.
mixed=$KORVANT_DRIVES/C/BenchSource/data
if [ ! -f "$mixed/.complete" ]; then
  rm -rf "$mixed"
  python3 - "$mixed" <<'EOF'
import os, random, sys
root = sys.argv[1]
rng = random.Random(6)
plan = [(3, 128 << 20, "archief"), (96, 4 << 20, "dossiers"), (3072, 64 << 10, "brieven"),
        (16384, 4 << 10, "notities")]
for count, size, folder in plan:
    for i in range(count):
        sub = os.path.join(root, folder, "deel%02d" % (i % 16))
        os.makedirs(sub, exist_ok=True)
        block = rng.randbytes(min(size, 1 << 20))
        with open(os.path.join(sub, "%s-%05d.dat" % (folder, i)), "wb") as f:
            left = size
            while left:
                n = min(left, len(block))
                f.write(block[:n])
                left -= n
                block = block[1:] + block[:1] if size > (1 << 20) else block
open(os.path.join(root, ".complete"), "w").close()
EOF
fi
mixed_bytes=$(find "$mixed" -type f ! -name .complete -printf '%s\n' | awk '{s += $1} END {print s}')

# The store: the sets beside the installation folder, and a folder of many entries to list.
install -d -m 755 "$sets" "$listing"
for set in "$data"/sets/*; do
  cp -al "$set" "$sets/" 2>/dev/null || cp -a "$set" "$sets/"
done
chmod -R a+rX "$sets"
python3 - "$listing" "$listing_entries" <<'EOF'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    open(os.path.join(folder, "Installatiebestand-%05d.bin" % i), "wb").close()
EOF
# The cloud folder exists beforehand, as sftp's put makes no folders; nobody pays for making it.
install -d -m 2775 -o "$user" -g "$(id -gn "$user")" "$KORVANT_STORE_CLOUD/$prefix" "$cloud"

installation=$KORVANT_STORE_INSTALLATION
use_set() { # name: makes it the whole installation set
  find "$installation" -mindepth 1 -delete
  cp -al "$sets/$1/." "$installation/"
}

# ---- one timed run -------------------------------------------------------------------------------
host=127.0.0.1
port=$store_port
: >"$results"
# run_timed <case> <tool> <bytes> <command...>: times the command; a failed run stops the suite.
run_timed() {
  local case=$1 tool=$2 bytes=$3 start end rss
  shift 3
  start=$EPOCHREALTIME
  if ! "$@" >"$log" 2>&1; then
    echo "bench.sh: $tool failed in $case:" >&2
    cat "$log" >&2
    exit 1
  fi
  end=$EPOCHREALTIME
  rss=$(sed -n 's/.*maxrss_kib=\([0-9]*\).*/\1/p' "$log")
  printf '%s\t%s\t%s\t%s\t%s\n' "$case" "$tool" \
    "$(python3 -c "print(f'{$end - $start:.4f}')")" "$bytes" "${rss:--}" >>"$results"
}

curl_tool() { curl -sS --hostpubsha256 "$KORVANT_STORE_HOSTKEY_SHA256" -u "$user:$password" "$@"; }
sftp_tool() { # batch commands on standard input
  local batch=$data/sftp.batch
  cat >"$batch"
  SSHPASS=$password sshpass -e sftp -o BatchMode=no -b "$batch" -q -P "$port" \
    -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR "$user@$host"
}

# The steps of a case per tool. prepare_* run before the clock starts.
prepare_download() { find "$korvant" -mindepth 1 -delete 2>/dev/null || mkdir -p "$korvant"; rm -rf "$peer_down"; mkdir -p "$peer_down"; }
prepare_upload() { # set
  find "$cloud" -mindepth 1 -delete 2>/dev/null || true
  rm -rf "$korvant/.transfer"
  mkdir -p "$korvant"
  cp -al "$data/sets/$1" "$korvant/.transfer"
}

download_case() { # case set count bytes
  local case=$1 set=$2 count=$3 bytes=$4 r tool
  use_set "$set"
  for ((r = 0; r < runs; r++)); do
    for tool in $(rotation "$r"); do
      prepare_download
      case $tool in
      program) run_timed "$case" program "$bytes" env KORVANT_STORE_HOST="$host:$port" "$bin/korvant_bench" download ;;
      curl)
        if ((count == 1)); then
          run_timed "$case" curl "$bytes" curl_tool "sftp://$host:$port/C:/SFTP/Installation/file-001.bin" -o "$peer_down/file-001.bin"
        else
          run_timed "$case" curl "$bytes" curl_tool "sftp://$host:$port/C:/SFTP/Installation/file-[001-$(printf %03d "$count")].bin" -o "$peer_down/file-#1.bin"
        fi ;;
      sftp) run_timed "$case" sftp "$bytes" sftp_tool <<<"get /C:/SFTP/Installation/* $peer_down/" ;;
      esac
    done
  done
}

upload_case() { # case set count bytes
  local case=$1 set=$2 count=$3 bytes=$4 r tool source=$data/sets/$2
  for ((r = 0; r < runs; r++)); do
    for tool in $(rotation "$r"); do
      prepare_upload "$set"
      case $tool in
      program) run_timed "$case" program "$bytes" env KORVANT_STORE_HOST="$host:$port" "$bin/korvant_bench" upload 'C:\Korvant\.transfer' ;;
      curl)
        if ((count == 1)); then
          run_timed "$case" curl "$bytes" curl_tool -T "$source/file-001.bin" "sftp://$host:$port/C:/Installaties/$prefix/Installer/"
        else
          run_timed "$case" curl "$bytes" curl_tool -T "$source/file-[001-$(printf %03d "$count")].bin" "sftp://$host:$port/C:/Installaties/$prefix/Installer/"
        fi ;;
      sftp) run_timed "$case" sftp "$bytes" sftp_tool <<<"put $source/* /C:/Installaties/$prefix/Installer/" ;;
      esac
      [ "$(find "$cloud" -type f | wc -l)" -eq "$count" ] || { echo "bench.sh: $tool left the upload of $case incomplete" >&2; exit 1; }
    done
  done
}

# Alternating order: each run starts with another tool, so a disturbance of the machine does not
# always fall on the same one.
rotation() {
  case $(($1 % 3)) in
  0) echo program curl sftp ;;
  1) echo curl sftp program ;;
  2) echo sftp program curl ;;
  esac
}

transfer_cases() { # label big-mib small-count
  local label=$1 mib=$2 count=$3
  echo "== $label: download of one $mib MiB file"
  download_case "$label download 1 x $mib MiB" "big$mib" 1 $((mib << 20))
  echo "== $label: download of $count files of $small_kib KiB"
  download_case "$label download $count x $small_kib KiB" "small$count" "$count" $((count * small_kib << 10))
  echo "== $label: upload of one $mib MiB file"
  upload_case "$label upload 1 x $mib MiB" "big$mib" 1 $((mib << 20))
  echo "== $label: upload of $count files of $small_kib KiB"
  upload_case "$label upload $count x $small_kib KiB" "small$count" "$count" $((count * small_kib << 10))
}

suite_start=$EPOCHREALTIME
transfer_cases loopback "$big_mib" "$small_count"

echo "== loopback: peak memory of the program at 64 and 256 MiB"
for ((r = 0; r < runs; r++)); do
  for mib in "$delayed_big_mib" "$big_mib"; do
    use_set "big$mib"
    prepare_download
    run_timed "memory download $mib MiB" program $((mib << 20)) "$bin/korvant_bench" download
    prepare_upload "big$mib"
    run_timed "memory upload $mib MiB" program $((mib << 20)) "$bin/korvant_bench" upload 'C:\Korvant\.transfer'
  done
done

echo "== loopback: listing of $listing_entries entries"
for ((r = 0; r < runs; r++)); do
  for tool in $(rotation "$r"); do
    case $tool in
    program) run_timed "listing $listing_entries entries" program 0 "$bin/korvant_bench" list /C:/SFTP/Listing/ ;;
    curl) run_timed "listing $listing_entries entries" curl 0 curl_tool "sftp://$host:$port/C:/SFTP/Listing/" -o /dev/null ;;
    sftp) run_timed "listing $listing_entries entries" sftp 0 sftp_tool <<<"ls -l /C:/SFTP/Listing" ;;
    esac
  done
done

echo "== archive of 1 GiB of mixed files"
archive_target=$korvant/.transfer/data.zip
for ((r = 0; r < runs; r++)); do
  for tool in $( ((r % 2)) && echo zip program || echo program zip); do
    rm -rf "$korvant/.transfer" "$data/zip-peer.zip"
    mkdir -p "$korvant/.transfer"
    if [ "$tool" = program ]; then
      run_timed "archive 1 GiB mixed" program "$mixed_bytes" "$bin/korvant_bench" copy-archive 'C:\BenchSource\data' 'C:\Korvant\.transfer\data'
      [ -f "$archive_target" ] || { echo "bench.sh: no archive at $archive_target" >&2; exit 1; }
    else
      run_timed "archive 1 GiB mixed" "zip -0 -r" "$mixed_bytes" bash -c 'cd "$1" && zip -0 -r -q "$2" . -x .complete' _ "$mixed" "$data/zip-peer.zip"
    fi
  done
done
rm -rf "$korvant/.transfer" "$data/zip-peer.zip"

echo "== through the delay proxy: $((2 * one_way_delay_ms)) ms round trip"
"$bin/korvant_delay_proxy" "$store_port" "$one_way_delay_ms" 1200 >"$data/proxy.out" &
proxy_pid=$!
for _ in $(seq 50); do grep -q '^port=' "$data/proxy.out" 2>/dev/null && break; sleep 0.1; done
port=$(sed -n 's/^port=//p' "$data/proxy.out")
[ -n "$port" ] || { echo "bench.sh: the delay proxy did not start" >&2; exit 1; }
transfer_cases "$((2 * one_way_delay_ms)) ms" "$delayed_big_mib" "$delayed_small_count"

if ((sweep)); then
  echo "== buffer sizes of the transfer steps (64 MiB, 20 ms and loopback)"
  use_set "big$delayed_big_mib"
  for link in delayed loopback; do
    [ "$link" = loopback ] && port=$store_port
    for ((r = 0; r < runs; r++)); do
      for size in 262144 524288 1048576 2097152 4194304; do
        prepare_download
        run_timed "buffer $link get $((size >> 10)) KiB" program $((delayed_big_mib << 20)) env KORVANT_STORE_HOST="$host:$port" \
          "$bin/korvant_bench" get /C:/SFTP/Installation/file-001.bin 'C:\Korvant\file-001.bin' "$size"
        prepare_upload "big$delayed_big_mib"
        run_timed "buffer $link put $((size >> 10)) KiB" program $((delayed_big_mib << 20)) env KORVANT_STORE_HOST="$host:$port" \
          "$bin/korvant_bench" put 'C:\Korvant\.transfer\file-001.bin' "/C:/Installaties/$prefix/Installer/file-001.bin" "$size"
      done
    done
  done
fi
kill "$proxy_pid" 2>/dev/null || true
wait "$proxy_pid" 2>/dev/null || true
proxy_pid=""

echo "== listing parser alone"
"$bin/korvant_listing_bench" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$data/parser.json" 2>/dev/null

suite_seconds=$(python3 -c "print(round($EPOCHREALTIME - $suite_start))")
python3 "$repo/bench/report.py" "$results" "$data/parser.json" "$runs" "$suite_seconds"
