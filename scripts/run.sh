#!/usr/bin/env bash
# Sets up, builds (release) and runs velmora; arguments are passed to velmora.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --target velmora_app encryption queue_ppd
exec "$root/build/release/apps/velmora/velmora" "$@"
