#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-tests/, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHUSHGATE_SANITIZE=ON
cmake --build build-tests -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-tests
ctest --output-on-failure -j "$(nproc)"
# The Qt-free core again, built for Windows and run under Wine (see the script).
bash ../scripts/test-windows.sh
