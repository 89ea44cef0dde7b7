#!/usr/bin/env bash
# The real program under Xvfb with a session manager that speaks XSMP
# (murrelet_xsmp_manager, libSM's server side), as Plasma, Xfce, MATE and LXQt
# on X11 are. A checkpoint and a log-out that is then cancelled each write the
# settings and leave the program running; the restart hint it gives is
# "never" (the log-in entry is the one way it starts with the session); the
# manager's Die ends it quietly (no box, even where the settings cannot be
# written: Qt's own answer would be the user's close), its settings written,
# with exit code 0.
#   session_manager.sh PROGRAM MANAGER WORK_FOLDER
set -euo pipefail
program="$1"
manager="$2"
work="$(realpath -m "$3")"
rm -rf "$work"
folder="$work/config/murrelet/Software/Quillon SoftWare/Gannetry"
mkdir -p "$folder" "$work/runtime"
chmod 700 "$work/runtime"
file="$folder/V2.0.conf"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" ICEAUTHORITY="$work/iceauthority"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus"
unset SESSION_MANAGER

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$work/program.log" 2>/dev/null || true; exit 1; }

exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&"$displayfd" || fail "Xvfb did not start"
export DISPLAY=":$display"

# Settings as a hand edit leaves them: the name with a plain space. The
# program reads it and writes it back as KESTRA\sT48R, so each write shows.
seed() {
  printf '%s\n' '# murrelet settings' 'sz KestraName KESTRA T48R' 'dword ACPowerFlag 0' \
    'dword BatteryPowerFlag 0' 'dword BatteryParcent 30' 'dword SuspendDisable 0' 'dword HourTimer 1' \
    'dword MinTimer 0' 'dword ShutDownFlag 0' 'dword AutoCharge 0' 'dword StartWithSession 0' >"$file"
}
written() { grep -q -x 'sz KestraName KESTRA\\sT48R' "$file" && [ "$(grep -c -E '^(sz|dword) ' "$file")" = 11 ]; }
alive() { kill -0 "$pid" 2>/dev/null; }

coproc SM { "$manager" 2>"$work/manager.log"; }
pids+=($SM_PID)
read -r -t 10 word ids <&"${SM[0]}" || fail "the session manager did not start"
[ "$word" = listening ] || fail "the session manager says: $word $ids"
ask() {
  echo "$*" >&"${SM[1]}"
  answer=
  read -r -t 30 answer <&"${SM[0]}" || answer="(no answer)"
}

seed
SESSION_MANAGER="$ids" QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
pid=$!
pids+=($pid)
ask register
[[ "$answer" == registered* ]] || fail "the program did not register: $answer"
# The window is there once the settings have been read.
for _ in $(seq 200); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Murrelet Ver2.0"' && break
  sleep 0.05
done
xwininfo -root -tree | grep -q '"Murrelet Ver2.0"' || fail "no main window"
written && fail "the settings were written before any save"

# A checkpoint: SaveYourself with shutdown False.
ask save both 0
[ "$answer" = "done 1" ] || fail "checkpoint: $answer"
written || fail "the checkpoint did not write the settings: $(cat "$file")"
# A program that quits answers its save first: only a second save that is
# answered shows that it goes on.
ask save local 0
[ "$answer" = "done 1" ] || fail "the program ended at a checkpoint: $answer"
alive || fail "the program ended at a checkpoint"
ask prop RestartStyleHint
[ "$answer" = "prop RestartStyleHint 3" ] || fail "the restart hint is not SmRestartNever (3): $answer"
echo "a checkpoint wrote the settings, the program goes on and is not to be restarted"

# A log-out that another program cancels.
seed
ask save both 1
[ "$answer" = "done 1" ] || fail "log-out: $answer"
alive || fail "the program ended at the log-out's save"
written || fail "the log-out's save did not write the settings"
ask cancel
# The program still answers its session manager afterwards.
ask save local 0
[ "$answer" = "done 1" ] || fail "save after the cancel: $answer"
alive || fail "the program ended after a cancelled log-out"
ask prop RestartStyleHint
[ "$answer" = "prop RestartStyleHint 3" ] || fail "the restart hint after a local save: $answer"
echo "a cancelled log-out wrote the settings and left the program running"

# The session ends: no box, not even for settings that cannot be written
# (their folder has become a file), since nobody may be there to answer.
mv "$folder" "$folder.kept"
touch "$folder"
ask die
[ "$answer" = closed ] || fail "Die: $answer"
status=0
for _ in $(seq 200); do alive || break; sleep 0.05; done
alive && fail "the program did not end at Die"
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status at Die"
echo "Die ended the program without a box"

# Once more with settings that can be written: Die writes them.
rm "$folder"
mv "$folder.kept" "$folder"
seed
SESSION_MANAGER="$ids" QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
pid=$!
pids+=($pid)
ask register
[[ "$answer" == registered* ]] || fail "the program did not register again: $answer"
ask save local 0
[ "$answer" = "done 1" ] || fail "save before Die: $answer"
ask die
[ "$answer" = closed ] || fail "Die: $answer"
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status at Die"
written || fail "Die did not write the settings"
echo "Die wrote the settings and ended the program"
