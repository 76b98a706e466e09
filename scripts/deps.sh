#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those still missing.
#   scripts/deps.sh          build, tests and benchmarks
#   scripts/deps.sh fuzz     also clang and its fuzzer runtime
set -euo pipefail

packages=(g++ cmake ninja-build make pkg-config zlib1g-dev libtag1-dev
          libgtest-dev libbenchmark-dev libsqlite3-dev libtinyxml2-dev libxml2-dev
          libcli11-dev nlohmann-json3-dev)
if [[ "${1:-}" == fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "deps: installing ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
