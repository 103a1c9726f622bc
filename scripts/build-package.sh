#!/usr/bin/env bash
# Builds the Debian package (build/package/velmora_VERSION_ARCH.deb) and prints its path.
# The build is a release whose programs name no build tree; it has no tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/package"
"$root/scripts/setup.sh" >&2
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF \
    -DVELMORA_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" >&2
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/velmora_*.deb
