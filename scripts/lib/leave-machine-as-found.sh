# Sourced by the test scripts: what they may change on the machine they run on.

# Makes a fresh scratch folder at $1. A folder already there is removed only
# when an earlier run of a test made it (it carries the mark); anything else
# there is someone's, and the test stops instead of deleting it.
fresh_scratch_folder() {
  local folder=$1
  local mark=$folder/.made-by-murrelet-tests
  case $folder in
    /* ) ;;
    * ) echo "scratch folder $folder: not an absolute path" >&2; return 1 ;;
  esac
  if [ -e "$folder" ] || [ -L "$folder" ]; then
    if [ -L "$folder" ] || [ ! -d "$folder" ] || [ ! -f "$mark" ]; then
      echo "scratch folder $folder is there and was not made by a test: not deleting it" >&2
      return 1
    fi
    rm -rf -- "$folder"
  fi
  mkdir -p -- "$folder"
  : >"$mark"
}

# True when the package $1 is installed on this machine (before the test).
package_installed() {
  dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null | grep -qx installed
}
