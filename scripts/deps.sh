#!/usr/bin/env bash
# Installs what the build needs that a fresh machine may lack. Runs
# apt-get update only when something is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libexiv2-dev libgmime-3.0-dev
  qt6-base-dev qt6-image-formats-plugins qt6-svg-dev libwmf-dev libemf2svg-dev fonts-dejavu-core xdg-utils python3)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
