#!/usr/bin/env bash
# Installs the Debian packages Pinprobe needs to build and test, when they are missing.
# Usage: scripts/install-deps.sh [extra packages...]
set -euo pipefail

# libsigrokdecode-dev: the protocol decoders; libzip-dev: sigrok session files; libsystemd-dev:
# sd-bus, to ask RealtimeKit for real-time priority; sigrok-cli: the tests that read our files
# back with sigrok's own tools. xvfb, xauth, xdotool, dbus-daemon and python3-pyatspi (with
# at-spi2-core): the test that reads the window over the accessibility bus.
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libsigrokdecode-dev libzip-dev libsystemd-dev
          sigrok-cli xvfb xauth xdotool dbus-daemon python3-pyatspi
          "$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
