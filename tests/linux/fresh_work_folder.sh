# Sourced by the tests of the real program: `work` becomes an empty folder
# with a config and a private runtime folder, and the program is kept off
# every real bus, so a test touches nothing of the machine's.
#   . fresh_work_folder.sh WORK_FOLDER
work="$(realpath -m "$1")"
rm -rf "$work"
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus"
