#!/bin/sh
# Installs every Debian package the project needs to build, run and test.
# Safe to run again: only missing packages are installed.
set -eu
PACKAGES="build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
  dpkg-dev lintian appstream man-db groff-base file gzip binutils
  xvfb xauth xdotool x11-utils imagemagick poppler-utils
  cups cups-client cups-bsd cups-filters cups-ipp-utils libcups2-dev fonts-dejavu-core fonts-urw-base35
  shared-mime-info desktop-file-utils clang-format-14 libfontconfig-dev
  libxcb1-dev locales
  dbus-daemon at-spi2-core python3-pyatspi qt6-wayland weston
  libreoffice-calc-nogui"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends $missing
fi
# Number formats are tested under a real German locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
fi
