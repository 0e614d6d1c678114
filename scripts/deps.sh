#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when
# some are missing, plus any package named on the command line (the fuzz
# script asks for clang this way). Safe to run again: it does nothing when all
# are present.
set -euo pipefail

PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-declarative-dev qt6-serialport-dev qt6-svg-dev libqt6svg6
    qt6-qpa-plugins qml6-module-qtquick qml6-module-qtquick-controls
    qml6-module-qtquick-layouts qml6-module-qtquick-templates qml6-module-qtquick-window
    qml6-module-qtqml-workerscript qml6-module-qtquick-dialogs qml6-module-qt-labs-settings
    qml6-module-qtcore qml6-module-qttest qml6-module-qt-labs-platform qml6-module-qtquick-shapes qml6-module-qt-labs-folderlistmodel
    qml6-module-qtqml qml6-module-qtqml-models qt6-declarative-dev-tools
    xvfb xauth desktop-file-utils dpkg-dev
    help2man lintian appstream bash-completion
    "$@"
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
