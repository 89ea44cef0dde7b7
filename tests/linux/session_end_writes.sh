#!/usr/bin/env bash
# The real program ended by the SIGTERM that logind sends at log-out, while
# its first-start box waits for an answer: it writes its settings first, so
# the next start is no first start. No session or system bus is needed.
#   session_end_writes.sh PROGRAM WORK_FOLDER
set -euo pipefail
program="$1"
. "$(dirname "$0")/fresh_work_folder.sh" "$2"
export XDG_RUNTIME_DIR="$work/runtime"
file="$work/config/murrelet/Software/Quillon SoftWare/Gannetry/V2.0.conf"

"$program" >"$work/program.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
# A first start makes the file with its first line alone before the box.
for _ in $(seq 200); do
  [ -s "$file" ] && break
  sleep 0.05
done
[ -s "$file" ] || { echo "the program made no settings file"; cat "$work/program.log"; exit 1; }
values() { grep -c -E '^(sz|dword) ' "$file" || true; }
[ "$(values)" = 0 ] || { echo "values before the session's end:"; cat "$file"; exit 1; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
trap - EXIT
[ "$status" = 0 ] || { echo "the program ended with $status"; cat "$work/program.log"; exit 1; }
# The eight values and the three added after 2.0.
[ "$(values)" = 11 ] || { echo "the session's end did not write every value:"; cat "$file"; exit 1; }
grep -q -x 'sz KestraName KESTRA\\sT48R' "$file" || { echo "no handset name:"; cat "$file"; exit 1; }
echo "the session's end wrote the settings"
