#!/usr/bin/env bash
# Sets up, builds the test configuration (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs the whole suite through CTest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
cmake --build "$root/build/test"
cd "$root/build/test"
exec ctest --output-on-failure -j2 "$@"
