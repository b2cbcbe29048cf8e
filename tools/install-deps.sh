#!/usr/bin/env bash
# Installs the Debian packages that building and testing Dimora3 need, when
# any of them is missing (with sudo when not run as root).
#   tools/install-deps.sh [cluster]          install (cluster: also what make test-cluster starts)
#   tools/install-deps.sh --list [cluster]   print the list only (tools/check-deps.sh reads it)
set -euo pipefail

list_only=no
if [ "${1:-}" = --list ]; then
  list_only=yes
  shift
fi

packages=(
  build-essential cmake ninja-build pkg-config
  libpng-dev libtiff-dev libjpeg62-turbo-dev nlohmann-json3-dev libcli11-dev libboost-math-dev libcsv-dev
  pybind11-dev python3-dev python3-numpy
  libgtest-dev libgmock-dev libbenchmark-dev python3-pytest
  qt6-base-dev qt6-charts-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools libqt6opengl6-dev libxkbcommon-dev libvulkan-dev qt6-translations-l10n qt6-qpa-plugins libgl-dev
  fonts-ipafont fonts-ipafont-gothic fonts-ipafont-mincho
  clang libclang-rt-dev llvm clang-format clang-tidy
  xvfb xauth
  desktop-file-utils appstream lintian help2man man-db librsvg2-bin dpkg-dev
  parallel
)
# tools/install-deps.sh cluster: also what make test-cluster starts.
if [ "${1:-}" = cluster ]; then
  packages+=(slurm-wlm munge bc)
fi
if [ $list_only = yes ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
