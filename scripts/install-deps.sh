#!/bin/sh
# Installs every Debian package the build, the tests and the demo need.
# Idempotent and quiet when everything is already there.
set -e
PKGS="build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev qt6-scxml-dev qt6-charts-dev libqt6opengl6-dev
qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-qpa-plugins libgl-dev
libsqlite3-dev libssl-dev libcurl4-openssl-dev libbenchmark-dev
fonts-inter xvfb xauth iproute2 locales dbus-daemon
dpkg-dev file lintian help2man"
missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
