#!/usr/bin/env bash
# Shows an end-of-run notice on a real notification daemon (Debian's
# notification-daemon) under Xvfb with a private session bus, and saves the
# screen's corner where it appears as a PNG (by default
# build-qt/screenshots/linux-notice.png). The notice is sent by the program's
# own D-Bus adapter (murrelet_notice_shot).
#   notice_screenshot.sh [build folder] [PNG file]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build-qt}"
work="$build/notice-shot"
shot="${2:-$build/screenshots/linux-notice.png}"
daemon=/usr/lib/notification-daemon/notification-daemon
[ -x "$daemon" ] || { echo "notice screenshot: $daemon is missing"; exit 1; }
rm -rf "$work"
mkdir -p "$work/icons/hicolor/256x256/apps"
# The program's icon where an installed copy would put it.
cp "$root/art/murrelet.png" "$work/icons/hicolor/256x256/apps/murrelet.png"

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&"$displayfd" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$display
exec {busfd}<> <(:)
dbus-daemon --session --nofork --nopidfile --print-address="$busfd" >"$work/bus.log" 2>&1 &
pids+=($!)
read -r -t 10 address <&"$busfd" || { echo "dbus-daemon did not start"; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$address
export XDG_DATA_DIRS="$work:/usr/share" LANG=C.UTF-8
"$daemon" >"$work/daemon.log" 2>&1 &
pids+=($!)
sleep 1
"$build/tests/linux/murrelet_notice_shot" "充電完了"
sleep 1  # the daemon fades the notice in
mkdir -p "$(dirname "$shot")"
# The notice sits in the top right corner of its window; without a compositor
# the window's transparent margin shows black, and is cut away too.
import -window root -crop 480x240+544+0 +repage -trim +repage -crop 420x100+0+0 +repage "$shot"
echo "$shot written"
