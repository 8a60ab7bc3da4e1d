#!/usr/bin/env bash
# Installs the Debian 12 packages Vantor needs to build (and, with --test, to test),
# only those missing. Uses sudo only when not already root.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6
          qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
          fonts-dejavu-core libgl-dev libxcb1-dev libicu-dev adwaita-icon-theme hicolor-icon-theme)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(desktop-file-utils appstream dpkg-dev file dbus-daemon)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
