#!/usr/bin/env bash
# Runs every benchmark beside its floor, each in a fresh process (a warm heap flatters large
# reads), and prints the medians of five repetitions, the ratio and the peak memory.
#   bench/run-pairs.sh [path/to/velmora_bench]
set -euo pipefail
bench="${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench/bench/velmora_bench}"

median() { # benchmark name → "cpu_ms peak_MiB"
    "$bench" --benchmark_filter="^$1(/real_time)?\$" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk -F, -v name="\"$1_median\"" -v column="${2:-4}" '
            { sub(/\/real_time_median"$/, "_median\"", $1) }
            $1 == name {
                cpu = $column; unit = $5; gsub(/"/, "", unit)
                if (unit == "us") cpu /= 1000; else if (unit == "ns") cpu /= 1e6
                peak = "-"
                printf "%.3f %s\n", cpu, peak
            }'
}

pair() { # label work floor [column: 4 CPU time, 3 wall time]
    read -r work _ < <(median "$2" "${4:-4}")
    read -r floor _ < <(median "$3" "${4:-4}")
    printf "%-44s %10.3f ms %10.3f ms %6.2fx\n" "$1" "$work" "$floor" \
        "$(awk -v a="$work" -v b="$floor" 'BEGIN { print a / b }')"
}

printf "%-44s %13s %13s %7s\n" "work" "ours" "floor" "ratio"
pair "data block of a 15 MiB list" BM_InflateBlockOnly BM_LibcupsParsePlusOneInflate
pair "the same list parsed into values" BM_ReadListFromPpd BM_LibcupsParsePlusOneInflate
pair "50,000-record SOAP answer" BM_DecodeAnswer50000Records BM_Libxml2ParseOnly50000Records
pair "one validated change across 500 options" BM_OneValidatedChange BM_SetValuesWithoutValidation
pair "500 controls built (reading included)" BM_BuildControlsOfUISettingsFile BM_ReadUISettingsFile
pair "panel opened on the sample press" BM_OpenPanelOnSamplePress BM_ReadSessionResources
pair "start to the graphical dialog shown (wall)" BM_StartGraphicalDialogUntilShown BM_StartHeadlessSession 3
