#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs each for SECONDS (default 20) from its seed corpus under fuzz/corpus/. Prints the runs and
# findings per target; exits 1 when any target found a crash, a leak or a time-out.
#   scripts/fuzz.sh [SECONDS] [TARGET…]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
build="$root/build/fuzz"

if ! command -v clang++ >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DVELMORA_FUZZ=ON \
    -DVELMORA_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! cmake --build "$build" >"$build/build.log" 2>&1; then
    grep -E 'error|FAILED' "$build/build.log" | head -20
    echo "fuzz targets did not build (see $build/build.log)"
    exit 1
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
found=0
for target in "${targets[@]}"; do
    # New inputs go to a scratch copy: the committed corpus stays as it is.
    mkdir -p "$work/$target/corpus" "$work/$target/findings"
    cp "$root/fuzz/corpus/$target"/* "$work/$target/corpus/" 2>/dev/null || true
    log="$work/$target/log"
    status=0
    (cd "$work/$target/findings" &&
        "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
            -print_final_stats=1 "$work/$target/corpus" >"$log" 2>&1) || status=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    findings=$(find "$work/$target/findings" -type f \( -name 'crash-*' -o -name 'leak-*' \
        -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    if [ "$status" -ne 0 ] && [ "$findings" -eq 0 ]; then findings=1; fi
    printf '%-20s runs %10s  findings %s\n' "$target" "${runs:-0}" "$findings"
    if [ "$findings" -ne 0 ]; then
        found=1
        grep -E 'ERROR|SUMMARY|==[0-9]+==' "$log" | head -20 || true
        mkdir -p "$root/build/fuzz-findings/$target"
        cp "$work/$target/findings"/* "$root/build/fuzz-findings/$target/" 2>/dev/null || true
    fi
done
exit "$found"
