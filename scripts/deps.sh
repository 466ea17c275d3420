#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only when some are missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev libgl-dev
    libcups2-dev
    fonts-wqy-zenhei fonts-dejavu-core
    xdg-utils sqlite3
    poppler-utils
    xvfb xauth
    # the package test: cpack's Depends, menu and software-centre checks,
    # lintian, and real keys for the installed program
    dpkg-dev file desktop-file-utils appstream lintian xdotool
    qt6-charts-dev libqt6opengl6-dev poppler-utils
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
