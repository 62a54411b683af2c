#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Safe to run again: packages already present are left as they are.
set -euo pipefail
PKGS=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev libqt6opengl6-dev qt6-qpa-plugins
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libsqlcipher-dev sqlcipher
  libjpeg62-turbo-dev
  fp-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-noto-cjk openbox
  xdg-utils
  qt6-translations-l10n xchm
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
