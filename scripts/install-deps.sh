#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and is missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libpugixml-dev libsnmp-dev libsystemd-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  snmpd snmp
  python3 python3-pexpect python3-dbusmock dbus
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
