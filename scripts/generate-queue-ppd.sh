#!/usr/bin/env bash
# Makes the sample press's queue PPD's groups, group texts and rules anew from the plug-in
# bundle (UI settings, panes, their titles) with the velmora of a build, after a change there.
#   scripts/generate-queue-ppd.sh [BUILD_DIR]   (default build/test)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/test}"
ppd="$root/resources/press/VelmoraPress.ppd"
next="$(mktemp "$ppd.XXXXXX")"
trap 'rm -f "$next"' EXIT
"$build/apps/velmora/velmora" queue-ppd "$ppd" --bundle "$build/Velmora.plugin" > "$next"
chmod --reference="$ppd" "$next"
mv "$next" "$ppd"
trap - EXIT
