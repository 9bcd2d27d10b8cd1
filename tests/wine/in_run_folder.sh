#!/usr/bin/env bash
# Runs a test program in a folder of its own, never in the build's output
# folder, so that a test run leaves the client's files there (the trace log
# log\KITE.log, upgrade_calls.log, kite.ini) as a user finds them:
#
#   in_run_folder.sh RUN_DIR PROGRAM [PREFIX...] -- [ARGUMENTS...]
#
# RUN_DIR is made anew with a copy of PROGRAM and of what the plug-in and the
# client find beside their executable (the DLLs, the client, the upgrade
# program, the skin, the language files, the default settings); then
# PREFIX... RUN_DIR/<program> ARGUMENTS... runs there. PREFIX is the Wine
# loader, with a wrapper before it where a test needs one.
set -euo pipefail
run=$1
program=$2
shift 2
prefix=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    prefix+=("$1")
    shift
done
[ $# -gt 0 ] && shift

bin=$(dirname "$program")
rm -rf "$run"
mkdir -p "$run"
# The programs and libraries are hard links (tests never write them; the
# folder is made anew before each run), or copies where links fail.
shopt -s nullglob
binaries=("$program" "$bin"/*.dll)
shopt -u nullglob
for item in KiteClient.exe upgrade.exe; do
    [ -e "$bin/$item" ] && binaries+=("$bin/$item")
done
if ! cp -pl "${binaries[@]}" "$run"/ 2>/dev/null; then
    rm -rf "$run"
    mkdir -p "$run"
    cp -p "${binaries[@]}" "$run"/
fi
for item in kite.skin lang defaults; do
    if [ -e "$bin/$item" ]; then
        cp -rp "$bin/$item" "$run"/
    fi
done
cd "$run"
exec "${prefix[@]}" "$run/$(basename "$program")" "$@"
