#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and rendering need.
# Runs apt-get only when a package is missing; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  gcc-multilib g++-multilib qemu-user
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libsndfile1-dev libsmf-dev
  libfreetype-dev fonts-dejavu-core fonts-liberation
  libcurl4-openssl-dev
  libfreetype-dev:i386 libpng-dev:i386 libcurl4-openssl-dev:i386
  zynaddsubfx-vst amsynth
  clang libclang-rt-14-dev
  libx11-dev libxext-dev libxtst-dev xvfb xdotool x11-utils
)

# The 32-bit module is built against Debian's i386 multiarch packages; where the kernel cannot run
# i386 programs, its tests run them through qemu-user's qemu-i386.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $need_update -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
[ ${#missing[@]} -eq 0 ] && exit 0
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
