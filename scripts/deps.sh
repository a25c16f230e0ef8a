#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Velmora builds and tests with, when they are missing.
# As root it uses apt-get; otherwise it names what is missing and stops.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libplist-dev libgtest-dev libbenchmark-dev
  qt6-base-dev libqt6svg6 qt6-l10n-tools qt6-tools-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-xkb-dev libxcb-randr0-dev
  libxcb-xfixes0-dev libxcb-xinput-dev libxcb-shape0-dev libxkbcommon-dev libxkbcommon-x11-dev
  libxkbregistry-dev
  libxcb-xtest0-dev libxcb-record0-dev libxcb-res0-dev libxcursor-dev
  fonts-dejavu-core desktop-file-utils appstream man-db groff-base
  sway foot kwin-wayland libwayland-dev wayland-protocols qt6-wayland imagemagick
  xvfb openbox xdotool x11-xkb-utils x11-utils xcompmgr trayer bc dbus rofi
  fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6
  clang libclang-rt-14-dev
  ibus ibus-libpinyin dconf-cli dconf-service dconf-gsettings-backend libglib2.0-bin
  gnome-shell
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "velmora: missing Debian packages: ${missing[*]}" >&2
  echo "velmora: install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "velmora: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
