#!/usr/bin/env bash
# Installs Velmora Flow for CUPS: builds a release, installs velmora, its library, the plug-in
# bundle and the sample press under PREFIX (default /usr/local), puts the press's filter where
# CUPS runs filters, and adds a queue for the sample press.
#   scripts/install.sh [--prefix DIR] [--queue NAME] [--device-uri URI]
# The queue's device is the press (its host also answers the web service for refresh-lists);
# without --device-uri jobs go to file:///dev/null, which suits a try-out.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix=/usr/local queue=VelmoraPress uri=file:///dev/null
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix="$2"; shift 2 ;;
        --queue) queue="$2"; shift 2 ;;
        --device-uri) uri="$2"; shift 2 ;;
        *) echo "usage: $0 [--prefix DIR] [--queue NAME] [--device-uri URI]" >&2; exit 2 ;;
    esac
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

"$root/scripts/setup.sh"
build="$root/build/install"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build"
"${sudo_cmd[@]}" cmake --install "$build"

# CUPS runs a filter named in a PPD from its own filter folder, owned by root and closed to others.
serverbin="$(cups-config --serverbin 2>/dev/null || echo /usr/lib/cups)"
for filter in velmora-command velmora-package; do
    "${sudo_cmd[@]}" install -o root -g root -m 0755 "$prefix/lib/velmora/$filter" \
        "$serverbin/filter/$filter"
done
# The press's job package is a document type the scheduler must know.
"${sudo_cmd[@]}" install -o root -g root -m 0644 "$prefix/share/velmora/velmora.types" \
    /usr/share/cups/mime/velmora.types
"${sudo_cmd[@]}" install -d -m 0755 /usr/share/ppd/velmora
"${sudo_cmd[@]}" install -o root -g root -m 0644 "$prefix/share/velmora/VelmoraPress.ppd" \
    /usr/share/ppd/velmora/VelmoraPress.ppd

if lpstat -r >/dev/null 2>&1; then
    # The scheduler reads the MIME types when it starts.
    "${sudo_cmd[@]}" systemctl try-restart cups 2>/dev/null || true
    "${sudo_cmd[@]}" lpadmin -p "$queue" -E -v "$uri" -P /usr/share/ppd/velmora/VelmoraPress.ppd \
        -D "Velmora Flow sample press"
    echo "Added the queue $queue; print with: velmora print FILE -d $queue"
else
    echo "The CUPS scheduler is not running; add the queue later with:"
    echo "  lpadmin -p $queue -E -v $uri -P /usr/share/ppd/velmora/VelmoraPress.ppd"
fi
