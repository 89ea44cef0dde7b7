#!/usr/bin/env bash
# Two copies of the real program for one user: the first started as the
# session starts it, with XDG_RUNTIME_DIR, the second as a terminal, `sudo -u`
# or a session script may, without it. The second meets the first's lock and
# ends at once with exit code 0; the first goes on. And the other way round.
#   one_copy_per_user.sh PROGRAM WORK_FOLDER
set -euo pipefail
program="$1"
work="$(realpath -m "$2")"
rm -rf "$work"
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus"
first=
trap '[ -z "$first" ] || kill "$first" 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*"; cat "$work"/*.log 2>/dev/null || true; exit 1; }

# Whether process $1 holds a lock file open (the guard is taken first thing).
holds_lock() { ls -l "/proc/$1/fd" 2>/dev/null | grep -q '\.lock$'; }

for order in "with-first" "without-first"; do
  with=(env XDG_RUNTIME_DIR="$work/runtime")
  without=(env -u XDG_RUNTIME_DIR)
  if [ "$order" = with-first ]; then starter=("${with[@]}") second=("${without[@]}"); else
    starter=("${without[@]}") second=("${with[@]}"); fi
  "${starter[@]}" "$program" >"$work/first.log" 2>&1 &
  first=$!
  for _ in $(seq 200); do holds_lock "$first" && break; sleep 0.05; done
  holds_lock "$first" || fail "$order: the first copy took no lock"
  status=0
  timeout 10 "${second[@]}" "$program" >"$work/second.log" 2>&1 || status=$?
  [ "$status" = 0 ] || fail "$order: the second copy did not end at once (status $status)"
  kill -0 "$first" 2>/dev/null || fail "$order: the first copy ended"
  kill "$first"
  wait "$first" || true
  first=
done
echo "every copy of one user meets the same lock, with or without XDG_RUNTIME_DIR"
