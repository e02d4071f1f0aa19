#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev libsqlite3-dev
  qt6-base-dev libgl-dev libx11-dev xvfb xauth fonts-dejavu-core
  qt6-webengine-dev libsmbclient-dev poppler-utils fonts-liberation
  clang libclang-rt-14-dev mold
  # kwriteconfig5: the lockdown tests write a KDE Plasma kdeglobals for real
  libkf5config-bin
  # gio: the autostart test starts its entry as the desktop would
  libglib2.0-bin
  xdotool openbox x11-utils imagemagick dbus at-spi2-core python3 python3-gi gir1.2-atspi-2.0
  # the chooser test loads the desktop's GTK theme, which would offer its own chooser
  qt6-gtk-platformtheme
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
