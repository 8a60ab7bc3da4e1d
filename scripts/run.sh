#!/usr/bin/env bash
# Set-up, build the program alone (no tests, benchmarks or tools) and start Vantor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_PROGRAM_ONLY=ON >/dev/null
cmake --build build -j"$(nproc)" --target vantor
exec ./build/src/vantor "$@"
