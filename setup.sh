#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine for Digital Vorlek, builds it, and then
#   ./setup.sh run    starts the program
#   ./setup.sh test   runs the whole test suite (sanitizer build, through ctest)
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-}
case "$mode" in
run | test) ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl-dev fonts-wine fonts-dejavu-core)
if [ "$mode" = test ]; then
    packages+=(clang libclang-rt-14-dev mdbtools)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    echo "Installing: ${missing[*]}"
    $sudo apt-get install -y --no-install-recommends "${missing[@]}" ||
        { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
fi

if [ "$mode" = run ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORLEK_TESTS=OFF
    cmake --build build
    exec build/bin/vorlek
fi

CC=clang CXX=clang++ cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVORLEK_SANITIZE=ON -DVORLEK_FUZZ=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure -j2
