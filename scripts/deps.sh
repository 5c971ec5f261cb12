#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing, and no
# services: the tests start their own proxy from tinyproxy-bin (the package tinyproxy would also
# run a system proxy on port 8888). clang-format-14 is the version the sources are formatted with.
# The search engines the tests run on loopback: searx (its web app runs on Debian's /usr/bin/python3,
# no web server needed) and Xapian Omega (omindex, and the omega CGI program that the tests serve
# themselves; without recommends, so no apache2).
set -euo pipefail

packages=(
    cmake ninja-build ccache g++ clang clang-format-14 clang-tidy pkg-config
    libclang-rt-14-dev
    qt6-base-dev qt6-webengine-dev libcurl4-openssl-dev openssl libssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libxml2-dev libpugixml-dev openssl
    xvfb xauth openbox x11-utils tinyproxy-bin fonts-dejavu-core python3
    dbus-daemon at-spi2-core
    desktop-file-utils appstream libxml2-utils shared-mime-info file dpkg-dev
    searx xapian-omega xapian-tools
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Run this command as root (or install them with sudo apt-get install)." >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
