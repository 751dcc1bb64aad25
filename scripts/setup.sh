#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zemlo need, if missing.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-webengine-dev qt6-translations-l10n
    libicu-dev libx11-dev
    fonts-noto-cjk
    xvfb xauth xdotool imagemagick openbox x11-utils python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
