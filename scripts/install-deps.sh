#!/usr/bin/env bash
# Installs the Debian packages radmtf needs to build, test and run, skipping
# those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev
  qt6-svg-dev qt6-l10n-tools poppler-utils
  libgtest-dev googletest
  libgdcm-dev libgdcm-tools zlib1g-dev python3-pydicom dcmtk libopenjp2-tools
  fonts-vlgothic
  python3
  clang libclang-rt-14-dev
  libfftw3-dev python3-numpy
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
