#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when any is missing.
# Sourced by scripts/run and scripts/test; safe to run again.
set -euo pipefail

norvane_packages=(
    cmake ninja-build g++ pkg-config
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang-format
    libnet-snpp-perl
    libsqlite3-dev
    libldap-dev slapd ldap-utils
    strace
    hylafax-client
    systemd
    clang libclang-rt-14-dev
)
# Only the windows need Qt (left out by "norvane_install_deps --no-gui").
norvane_gui_packages=(qt6-base-dev qt6-svg-dev libgl-dev libegl-dev)

norvane_install_deps() {
    local wanted=("${norvane_packages[@]}")
    if [ "${1:-}" != "--no-gui" ]; then
        wanted+=("${norvane_gui_packages[@]}")
    fi
    local missing=()
    local package
    for package in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}
