#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian 12 machine (as root).
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools ccache libssl-dev
  wine wine64 xvfb xauth xdotool imagemagick fonts-nanum locales python3
  nsis osslsigncode openssl wixl msitools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: ko_KR.UTF-8 gives code page 949.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf8$'; then
  echo "setup: generating the ko_KR.UTF-8 locale"
  sed -i 's/^# *ko_KR.UTF-8/ko_KR.UTF-8/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
