#!/usr/bin/env bash
# Installs the Debian 12 packages Vantor needs to build (and, with --test, to test),
# only those missing. Uses sudo only when not already root.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6
          qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
          fonts-dejavu-core libgl-dev libxcb1-dev libicu-dev adwaita-icon-theme hicolor-icon-theme)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(desktop-file-utils appstream dpkg-dev file dbus-daemon lintian clang-format)
fi

# Unpacked and configured is present, also while its triggers wait to run (another install
# in progress or interrupted); apt would only run again for nothing.
present() {
    dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null |
        grep -qxE 'installed|triggers-pending|triggers-awaited'
}

missing=()
for p in "${packages[@]}"; do
    present "$p" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
# Another install may be running (a desktop updater, a second clone's script): wait for its
# lock instead of failing.
wait=(-o DPkg::Lock::Timeout=600)

# apt-get update takes the package-list lock, which apt does not wait for by itself.
update() {
    local out
    for _ in $(seq 120); do
        out=$("${sudo[@]}" apt-get "${wait[@]}" update -qq 2>&1) && return 0
        grep -q 'Could not get lock' <<<"$out" || { echo "$out" >&2; return 1; }
        sleep 5
    done
    echo "$out" >&2
    return 1
}

apt_install() {
    "${sudo[@]}" apt-get "${wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# Refresh the package lists only when apt does not know a package or the install fails
# (lists too old for the mirror).
known=1
for p in "${missing[@]}"; do
    apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: [^(]' || known=0
done
if [[ $known -eq 1 ]] && apt_install; then
    exit 0
fi
update
apt_install
