#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only when some are missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6sql6-sqlite libsqlite3-dev libgl-dev
    libcups2-dev
    # the connection's socket, shut when a server does not answer in time
    libpq-dev
    fonts-wqy-zenhei fonts-dejavu-core
    xdg-utils sqlite3
    poppler-utils
    xvfb xauth
    # the package test: cpack's Depends, menu and software-centre checks,
    # lintian, and real keys for the installed program
    dpkg-dev file desktop-file-utils appstream lintian xdotool
    qt6-charts-dev libqt6opengl6-dev
    # the customer display on a serial port; the Unihan readings behind the pinyin search
    qt6-serialport-dev unicode-data bzip2
    "$@"
)

# Several tills on a PostgreSQL server: Qt's driver, and the server the tests
# start a throw-away cluster of. Without them the program works on files and
# the server tests are skipped, so a failure here is only a warning.
server_packages=(libqt6sql6-psql postgresql postgresql-client)

missing_of() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            echo "$p"
        fi
    done
}

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
updated=""
install() {
    echo "Installing: $*"
    [ -n "$updated" ] || { $SUDO apt-get update -qq; updated=yes; }
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@"
}

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
    install "${missing[@]}"
fi
mapfile -t missing < <(missing_of "${server_packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
    install "${missing[@]}" || echo "Warning: PostgreSQL could not be installed; the server tests will be skipped." >&2
fi
