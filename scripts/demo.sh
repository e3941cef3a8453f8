#!/usr/bin/env bash
# The program's main job against a local store: installs what is missing, builds, starts a store
# on loopback seeded with a demo installation set and a demo account, prepares a workstation
# (a drives folder holding a local Tarvo installation) and runs KorvantUploader in this terminal.
# Afterwards it shows what arrived in the store and stops it. Run it again to see the second run:
# the cloud installation is found and nothing is migrated. Run as root on Debian 12.
#   scripts/demo.sh           the demo (the cloud and the workstation are kept between runs)
#   scripts/demo.sh --fresh   start again from an empty cloud and a fresh workstation
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

fresh=0
[ "${1:-}" = "--fresh" ] && fresh=1

scripts/install-deps.sh
build=${KORVANT_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$(nproc)" --target KorvantUploader Powershell

state=$top/$build/demo
store=$state/store
drives=$state/drives
cloud_kept=$state/cloud
user=demo-kassa1
password=Welkom-2026
mkdir -p "$state"
if ((fresh)); then rm -rf -- "$drives" "$cloud_kept" "$state/work"; fi

stop_store() { tools/store/store.sh stop "$store" >/dev/null 2>&1 || true; }
trap stop_store EXIT

echo "== Starting the store, seeded with the demo installation set"
tools/store/store.sh start "$store" --seed demo/installation-set --account "$user:$password"
# shellcheck disable=SC1091
source "$store/store.env"
# What the cloud held after the last demo comes back, so a second run finds it.
if [ -d "$cloud_kept" ]; then
  cp -a -- "$cloud_kept/." "$KORVANT_STORE_CLOUD/"
  chown -R "$user:$(id -gn "$user")" -- "$KORVANT_STORE_CLOUD"
fi

if [ ! -d "$drives" ]; then
  echo "== Preparing the workstation: a local Tarvo installation in C:\\BrindleHollows\\Tarvo"
  mkdir -p "$drives/C"
  cp -a demo/local-installation/. "$drives/C/"
fi
mkdir -p "$state/work"

export KORVANT_DRIVES=$drives
export KORVANT_STORE_HOST KORVANT_STORE_HOSTKEY_SHA256
export KORVANT_OPEN=$top/demo/open-document.sh
export KORVANT_DEBUG_OUTPUT=$state/debug-output.log
export KORVANT_DEMO_OPENED=$state/opened.txt
rm -f -- "$KORVANT_DEMO_OPENED"

cat <<EOT

== KorvantUploader
   Store    sftp://$KORVANT_STORE_HOST (host key SHA256:$KORVANT_STORE_HOSTKEY_SHA256)
   Drives   $drives   (C:\\ is $drives/C)
   Log in with   Gebruikersnaam: $user   Wachtwoord: $password
   Answer "j" when it asks whether to use the installation it found.

EOT
(cd "$state/work" && "$top/$build/bin/KorvantUploader")

echo
if [ -s "$KORVANT_DEMO_OPENED" ]; then
  echo "== The cloud connection was started: $(cat "$KORVANT_DEMO_OPENED")"
fi
echo "== The store now holds, for $user:"
(cd "$KORVANT_STORE_CLOUD" && find . -type f -printf '   %P  (%s bytes)\n' | sort)
for archive in "$KORVANT_STORE_CLOUD"/*/Installer/*.zip; do
  [ -f "$archive" ] || continue
  echo "   contents of ${archive#"$KORVANT_STORE_CLOUD"/}:"
  unzip -l "$archive" | sed -n '4,$p' | sed 's/^/     /'
done
for ini in "$KORVANT_STORE_CLOUD"/*/Installer/Connection.ini; do
  [ -f "$ini" ] || continue
  echo "   ${ini#"$KORVANT_STORE_CLOUD"/}:"
  sed 's/^/     /' "$ini"
done
echo "== The workstation (C:\\Korvant and C:\\Users):"
find "$drives/C/Korvant" "$drives/C/Users" -maxdepth 3 -printf '   %P\n' 2>/dev/null | sort | sed '/^   $/d'

rm -rf -- "$cloud_kept"
mkdir -p "$cloud_kept"
cp -a -- "$KORVANT_STORE_CLOUD/." "$cloud_kept/"
echo "== Stopping the store"
