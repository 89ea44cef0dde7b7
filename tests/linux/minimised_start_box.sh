#!/usr/bin/env bash
# The real program started by the log-in entry (--session-start, minimised)
# on a real window manager (openbox under Xvfb), where the handset is plugged
# in but its line does not open (with_fake_handset ... none) and AutoCharge
# is on: the run that starts by itself fails, and its error box is mapped and
# viewable with the main window back from its icon, not a box transient for
# an iconified window that the window manager keeps unmapped. The screen goes
# to $MURRELET_SHOTS_DIR/linux-minimised-start-box.png (else the work folder).
#   minimised_start_box.sh PROGRAM WORK_FOLDER   (inside with_fake_handset ... none)
set -euo pipefail
program="$1"
work="$(realpath -m "$2")"
shot="${MURRELET_SHOTS_DIR:-$work}/linux-minimised-start-box.png"
folder="$work/config/murrelet/Software/Quillon SoftWare/Gannetry"
rm -rf "$work/config" "$work/runtime" "$work"/*.log
mkdir -p "$folder" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus"
unset SESSION_MANAGER
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; tail -n 20 "$work"/*.log 2>/dev/null || true; exit 1; }

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&"$displayfd" || fail "Xvfb did not start"
export DISPLAY=":$display"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

printf '%s\n' '# murrelet settings' 'sz KestraName KESTRA\sT48R' 'dword ACPowerFlag 0' \
  'dword BatteryPowerFlag 0' 'dword BatteryParcent 30' 'dword SuspendDisable 0' 'dword HourTimer 1' \
  'dword MinTimer 0' 'dword ShutDownFlag 0' 'dword AutoCharge 1' 'dword StartWithSession 1' \
  >"$folder/V2.0.conf"
QT_QPA_PLATFORM=xcb "$program" --session-start >"$work/program.log" 2>&1 &
pid=$!
pids+=($pid)
window() { xwininfo -root -tree 2>/dev/null | sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\".*/\1/p" | head -n 1; }
box=
for _ in $(seq 200); do
  box=$(window 'エラー')
  [ -n "$box" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended"
  sleep 0.05
done
[ -n "$box" ] || fail "no error box"
main=$(window 'Murrelet Ver2.0')
[ -n "$main" ] || fail "no main window"
viewable() { xwininfo -id "$1" | grep -q 'Map State: IsViewable'; }
for _ in $(seq 100); do viewable "$box" && viewable "$main" && break; sleep 0.05; done
viewable "$box" || fail "the error box is not viewable: $(xwininfo -id "$box" | grep 'Map State')"
xprop -id "$main" WM_STATE | grep -q 'window state: Normal' || fail "the main window is not back: $(xprop -id "$main" WM_STATE)"
viewable "$main" || fail "the main window is not viewable"
xprop -id "$box" WM_TRANSIENT_FOR | grep -q "$main" || fail "the box does not belong to the main window"
sleep 0.3  # the frames are drawn
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "the failed start's box is in view over the main window, back from its icon ($shot)"
