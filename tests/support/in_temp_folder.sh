#!/bin/sh
# Runs the command given inside a fresh temporary folder of its own, with
# the settings folder, the Wine prefix and the user's data folder in it,
# and removes the folder afterwards: runs of the program share nothing and
# never reach the user's real ones. The command's exit status is kept.
dir=$(mktemp -d "${TMPDIR:-/tmp}/ostrevan-test-XXXXXXXX") || exit 1
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
OSTREVAN_CONFIG_DIR="$dir/config" WINEPREFIX="$dir/wine" XDG_DATA_HOME="$dir/data" "$@"
