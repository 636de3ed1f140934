#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# only when one is missing.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev libgl-dev libx11-dev
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool x11-apps imagemagick
    fonts-dejavu-core
    dpkg-dev file lintian desktop-file-utils appstream man-db groff-base bash-completion
    prometheus-cpp-dev libcivetweb-dev prometheus prometheus-node-exporter
    sysstat numactl python3 curl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
