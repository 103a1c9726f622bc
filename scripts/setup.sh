#!/usr/bin/env bash
# Installs the Debian packages that building and testing Velmora Flow need.
# Does nothing when they are all there already.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libcups2-dev zlib1g-dev libzip-dev libxml2-dev libxml2-utils libcurl4-openssl-dev libplist-dev libicu-dev
    libpoppler-cpp-dev libpoppler-qt6-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    cups-daemon cups-client cups-filters cups-ipp-utils dbus-daemon desktop-file-utils
    cups dpkg-dev pandoc man-db bash-completion
    qt6-base-dev fonts-urw-base35 fonts-ipafont-gothic
    xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
