#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# With --tests also what only the tests use: the browser the report site
# is opened in, pdfinfo for printed pages, and the desktop's own tools that
# check and read the installed desktop entry and replay file type.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev qt6-base-dev qt6-svg-dev qt6-multimedia-dev
          libxcb-xkb-dev clang libclang-rt-dev)
if [ "${1:-}" = "--tests" ]; then
    packages+=(chromium poppler-utils desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
