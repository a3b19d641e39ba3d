#!/bin/sh
# Builds the scanner tests with ThreadSanitizer (build/tsan, only that target) and runs those
# that scan: the page's thread, the worker and its helper thread meet in every one of them.
set -eu
root=$1
cmake -S "$root" -B "$root/build/tsan" -G Ninja -DZYR_TSAN=ON >/dev/null
cmake --build "$root/build/tsan" -j 2 --target duplicates_tests
# Address-space randomisation of recent kernels is wider than ThreadSanitizer's map; run without it.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    setarch "$(uname -m)" -R "$root/build/tsan/bin/duplicates_tests" \
    --gtest_filter='ScanContract.*:DuplicateScanner.*'
