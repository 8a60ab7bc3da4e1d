#!/usr/bin/env bash
# Set-up, the layer and format checks, a build with warnings as errors, the install and the
# Debian package, every test through CTest, and every test once more with the address and
# undefined-behaviour sanitizers, which must report nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test

bash scripts/check-layers.sh
find src tests bench tools \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 clang-format --dry-run --Werror

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DVANTOR_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
bash scripts/check-install.sh build-test
(cd build-test && ctest --output-on-failure -j"$(nproc)")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVANTOR_WERROR=ON -DVANTOR_SANITIZE=ON \
    >/dev/null
cmake --build build-sanitize -j"$(nproc)"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-third-party.supp:print_suppressions=0"
(cd build-sanitize && ctest --output-on-failure -j"$(nproc)")
