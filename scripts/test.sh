#!/usr/bin/env bash
# Set-up, build with warnings as errors, check the install and the Debian package, and run
# every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DVANTOR_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
bash scripts/check-install.sh build-test
cd build-test
ctest --output-on-failure -j"$(nproc)"
