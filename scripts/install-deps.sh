#!/usr/bin/env bash
# Installs the Debian packages Vemo needs to build, test and run.
set -euo pipefail

packages=(
    g++ make cmake pkg-config
    qt6-base-dev qt6-translations-l10n libgl-dev libxcb1-dev
    libsqlite3-dev
    libpq-dev postgresql
    libfreexl-dev
    libquazip1-qt6-dev
    libgtest-dev
    fonts-noto-cjk
    xdg-utils
)
if [ "${1:-}" = "--with-benchmarks" ]; then
    packages+=(libbenchmark-dev)
fi
if [ "${1:-}" = "--with-packaging" ]; then
    packages+=(dpkg-dev file desktop-file-utils appstream lintian)
fi
if [ "${1:-}" = "--with-lockdown-check" ]; then
    packages+=(xvfb openbox xdotool x11-utils imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
