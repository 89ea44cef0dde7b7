#!/usr/bin/env bash
# The test scripts' guards: a scratch folder from the environment that the
# tests did not make is never deleted, and a package the user installed is
# seen as installed (scripts/test-package then leaves it alone).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/lib/leave-machine-as-found.sh"
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Someone's folder, named through the environment: kept whole.
mkdir -p "$work/users-folder"
echo precious >"$work/users-folder/file"
fresh_scratch_folder "$work/users-folder" 2>/dev/null && fail "a folder the test did not make was accepted"
[ "$(cat "$work/users-folder/file")" = precious ] || fail "a folder the test did not make was emptied"
# A link to it, and a plain file, are kept too.
ln -s "$work/users-folder" "$work/link"
fresh_scratch_folder "$work/link" 2>/dev/null && fail "a link was accepted"
[ -f "$work/users-folder/file" ] || fail "a link's target was emptied"
echo x >"$work/plain"
fresh_scratch_folder "$work/plain" 2>/dev/null && fail "a plain file was accepted"
fresh_scratch_folder "relative" 2>/dev/null && fail "a relative path was accepted"

# A folder the tests made is made fresh again; a missing one is made.
fresh_scratch_folder "$work/scratch" || fail "a missing folder was not made"
echo old >"$work/scratch/left"
fresh_scratch_folder "$work/scratch" || fail "the tests' own folder was refused"
[ ! -e "$work/scratch/left" ] || fail "the tests' own folder was not emptied"

# Whether a package is installed, as dpkg says (a stand-in dpkg-query).
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'QUERY'
#!/bin/sh
for name; do :; done  # the last argument
case "$name" in
  murrelet) echo installed ;;
  half) echo config-files ;;
  *) echo "dpkg-query: no packages found matching $name" >&2; exit 1 ;;
esac
QUERY
chmod +x "$work/bin/dpkg-query"
PATH=$work/bin:$PATH package_installed murrelet || fail "an installed package was not seen"
PATH=$work/bin:$PATH package_installed half && fail "a removed package's leftovers counted as installed"
PATH=$work/bin:$PATH package_installed absent && fail "a missing package counted as installed"
echo "leave-machine-as-found: all checks passed"
