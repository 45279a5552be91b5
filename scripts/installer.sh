#!/usr/bin/env bash
# Builds the Windows installer: build/windows/installer/ZombieCure-setup-<version>.exe, a
# 64-bit per-machine installer (NSIS) of the program built in build/windows, and its MSI
# package ZombieCure-<version>-x64.msi (wixl), both signed as the build signs (docs/signing.md), and copies both into build/installer. Installs what is missing first
# (scripts/setup.sh: the nsis, wixl, msitools and osslsigncode packages among others).
#   bash scripts/installer.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build-program.sh
# Configure again, so a tree configured before makensis was installed finds it now.
cmake -S . -B build/windows >build/windows.configure.log 2>&1 || { cat build/windows.configure.log; exit 1; }
cmake --build build/windows --target zc_installer zc_msi_package >build/windows/installer.log 2>&1 ||
  { cat build/windows/installer.log; exit 1; }
installer=$(ls -t build/windows/installer/ZombieCure-setup-*.exe | head -n 1)
package=$(ls -t build/windows/installer/ZombieCure-*-x64.msi | head -n 1)
mkdir -p build/installer
cp "$installer" "$package" build/installer/
echo "installer: $root/build/installer/$(basename "$installer")"
echo "MSI package: $root/build/installer/$(basename "$package")"
