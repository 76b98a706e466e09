#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it the way a user
# outside this tree would: builds the C host (pkg-config) and the C++ host
# (find_package) from examples/ against it and runs them, and runs the
# installed tavopl. Reuses the build folder ($BUILD, default build); only
# what is not built yet gets built.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
jobs=${JOBS:-$(nproc)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" -j "$jobs" --target tavopl TavoAuto TavoPlaylist2Pelta TAVOControl
# Install only what a package holds (the component's install rules), not
# test programs: install() rules exist only for those.
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
export TAVO_REGISTRY="$work/registry.reg"
prefix="$work/prefix"

pc=$(dirname "$(find "$prefix" -name tavoplaylist2pelta.pc | head -n1)")
PKG_CONFIG_PATH="$pc" cmake -S examples/c-host -B "$work/c-host" -G Ninja >/dev/null
cmake --build "$work/c-host" >/dev/null
mkdir -p "$work/db-c"
"$work/c-host/tavo-c-host" "$work/db-c"

cmake -S examples/cpp-host -B "$work/cpp-host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cpp-host" >/dev/null
mkdir -p "$work/db-cpp"
"$work/cpp-host/tavo-cpp-host" "$work/db-cpp"

"$prefix/bin/tavopl" --db "$work/db-tool" presets >/dev/null
echo "check-install: the package installs, both example hosts build and run, tavopl runs"
