#!/usr/bin/env bash
# The real program during a run on a handset (with_fake_handset's pty) with
# the keep-awake setting on, under a private session bus where
# org.freedesktop.PowerManagement (a python-dbusmock stand-in) holds the
# keep-awake cookie. The session's end (SIGTERM from logind, SIGHUP from a
# hung-up terminal) ends the run before the settings are written, as closing
# the window does: strace shows the tty closed before the settings file is
# renamed into place, and the cookie is given back with UnInhibit; the
# program ends with exit code 0. Skipped (77) where strace may not trace.
#   session_end_during_run.sh PROGRAM WORK_FOLDER   (inside with_fake_handset ... pty)
set -euo pipefail
program="$1"
work="$(realpath -m "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
folder="$work/config/murrelet/Software/Quillon SoftWare/Gannetry"
rm -rf "$work/config" "$work/runtime" "$work"/*.log
mkdir -p "$folder" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus"
unset SESSION_MANAGER
strace -f -qq -o /dev/null true 2>/dev/null || { echo "strace may not trace here; skipped"; exit 77; }
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; tail -n 20 "$work"/*.log 2>/dev/null || true; exit 1; }

exec {busfd}<> <(:)
dbus-daemon --session --nofork --nopidfile --print-address="$busfd" >"$work/bus.log" 2>&1 &
pids+=($!)
read -r -t 10 address <&"$busfd" || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS="$address"

for signal in TERM HUP; do
  # The handset plugged in and AutoCharge on: the run starts on the first poll.
  printf '%s\n' '# murrelet settings' 'sz KestraName KESTRA\sT48R' 'dword ACPowerFlag 0' \
    'dword BatteryPowerFlag 0' 'dword BatteryParcent 30' 'dword SuspendDisable 1' 'dword HourTimer 1' \
    'dword MinTimer 0' 'dword ShutDownFlag 0' 'dword AutoCharge 1' 'dword StartWithSession 0' \
    >"$folder/V2.0.conf"
  calls="$work/pm-$signal.log"
  /usr/bin/python3 -m dbusmock --template "$here/power_management_template.py" --logfile "$calls" >"$work/pm.log" 2>&1 &
  mock=$!
  pids+=($mock)
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.PowerManagement /org/freedesktop/PowerManagement/Inhibit \
      org.freedesktop.PowerManagement.Inhibit.HasInhibit >/dev/null 2>&1 && break
    sleep 0.05
  done
  trace="$work/trace-$signal.log"
  strace -f -qq -e trace=openat,close,rename,renameat,renameat2 -o "$trace" \
    "$program" >"$work/program-$signal.log" 2>&1 &
  tracer=$!
  pids+=($tracer)
  pid=
  for _ in $(seq 100); do pid=$(pgrep -P "$tracer" || true); [ -n "$pid" ] && break; sleep 0.05; done
  [ -n "$pid" ] || fail "SIG$signal: the program did not start"
  for _ in $(seq 200); do grep -q ' Inhibit ' "$calls" 2>/dev/null && break; sleep 0.05; done
  grep -q ' Inhibit ' "$calls" || fail "SIG$signal: no run kept the computer awake"
  grep -q ' UnInhibit ' "$calls" && fail "SIG$signal: the cookie was given back before the signal"
  kill -"$signal" "$pid"
  status=0
  wait "$tracer" || status=$?
  [ "$status" = 0 ] || fail "SIG$signal: the program ended with $status"
  grep -q ' UnInhibit ' "$calls" || fail "SIG$signal: the keep-awake cookie was not given back"
  # The tty's descriptor, its close, and the first write of the settings
  # file after it (each value is written through a rename).
  opened=$(grep -n -E 'openat\(.*"/dev/ttyACM0".* = [0-9]+$' "$trace" | tail -n 1)
  [ -n "$opened" ] || fail "SIG$signal: the line was never opened"
  fd=${opened##* = }
  closed=$(awk -v from="${opened%%:*}" -v fd="$fd" 'NR > from && $2 ~ ("^close\\(" fd "\\)") { print NR; exit }' "$trace")
  written=$(awk -v from="${opened%%:*}" 'NR > from && /rename.*"[^"]*V2\.0\.conf"/ { print NR; exit }' "$trace")
  [ -n "$written" ] || fail "SIG$signal: the settings were not written"
  [ -n "$closed" ] && [ "$closed" -lt "$written" ] ||
    fail "SIG$signal: the line was not closed before the settings were written (close at ${closed:-never}, write at $written)"
  kill "$mock"
  wait "$mock" 2>/dev/null || true
  echo "SIG$signal during a run closed the line before the settings were written"
done
