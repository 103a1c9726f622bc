#!/usr/bin/env bash
# Installs Velmora Flow as a system package: builds velmora_VERSION_ARCH.deb and installs it with
# apt-get (which also pulls in the libraries it needs). `apt-get remove velmora` takes it away.
#   scripts/install.sh              the package, system-wide (uses sudo when not run as root)
#   scripts/install.sh --prefix P   the same files below P instead, to try it out: nothing
#                                   outside P is touched, and CUPS does not see its filters
# No print queue is added; see the README's "Setting up the press's queue".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix=
case "${1:-}" in
    "") ;;
    --prefix) [ $# -eq 2 ] || { echo "usage: $0 [--prefix DIR]" >&2; exit 2; }; prefix="$2" ;;
    *) echo "usage: $0 [--prefix DIR]" >&2; exit 2 ;;
esac

deb="$("$root/scripts/build-package.sh")"
if [ -n "$prefix" ]; then
    cmake --install "$root/build/package" --prefix "$prefix"
    echo "Installed below $prefix: run $prefix/bin/velmora"
    exit 0
fi
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$deb"
echo "Installed $(basename "$deb"); add the press's queue with lpadmin (see the README)."
