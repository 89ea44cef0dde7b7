#!/usr/bin/env bash
# The program's command line as a user meets it: --help and --version answer,
# anything else is refused with exit 2, and a start without a display says so
# and exits 1 instead of Qt's abort (134). None of these opens a window or
# touches a setting.
set -uo pipefail
murrelet=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch
failed=0
expect() {  # exit-code stream pattern -- command...
  local code=$1 stream=$2 pattern=$3
  shift 4
  "$@" >"$scratch/out" 2>"$scratch/err"
  local got=$?
  if [ "$got" != "$code" ] || ! grep -q -- "$pattern" "$scratch/$stream"; then
    echo "FAIL: $* -> exit $got (wanted $code and /$pattern/ on $stream)"
    cat "$scratch/out" "$scratch/err"
    failed=1
  fi
}
expect 0 out '^Usage: murrelet \[--session-start\] \[--help | --version\]$' -- "$murrelet" --help
expect 0 out '^murrelet [0-9]' -- "$murrelet" --version
expect 2 err "^murrelet: unknown argument '-v'$" -- "$murrelet" -v
expect 2 err "^Try 'murrelet --help'.$" -- "$murrelet" --bogus
expect 2 err "takes no other argument" -- "$murrelet" --version --help
expect 1 err '^murrelet: no display: DISPLAY and WAYLAND_DISPLAY are not set' -- \
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$murrelet"
# A display that is named but cannot be reached: Qt's own attempt fails.
expect 1 err '^murrelet: no display: the window cannot open on DISPLAY=:65535' -- \
  env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=:65535 "$murrelet"
[ -z "$(ls -A "$scratch/config" 2>/dev/null)" ] || { echo "FAIL: a setting was written"; failed=1; }
exit $failed
