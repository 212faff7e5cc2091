#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: when all
# is there it only checks and returns.
set -euo pipefail
packages=(cmake ninja-build g++ clang clang-format clang-tidy libclang-rt-14-dev googletest libgtest-dev
          libbenchmark-dev
          mingw-w64 wine wine64 xvfb xdotool imagemagick x11-apps python3 time
          cups printer-driver-cups-pdf poppler-utils fonts-dejavu-core fonts-wqy-microhei
          zip unzip wixl msitools binutils-mingw-w64 git)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
