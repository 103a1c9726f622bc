#!/usr/bin/env bash
# Runs every benchmark beside its floor, each in a fresh process (a warm heap flatters large
# reads), and prints the medians of five repetitions and their ratio. The memory columns come
# from one more fresh process that runs the work once: the most it added to the resident memory.
# The growth table runs each piece of work at 1x, 4x and 16x its size, so super-linear costs show.
#   bench/run-pairs.sh [path/to/velmora_bench]
set -euo pipefail
bench="${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench/bench/velmora_bench}"
# The graphical dialog's own benchmarks (the preview) are a program of their own beside it.
preview_bench="$(dirname "$bench")/velmora_preview_bench"

# A column of the benchmark's CSV line, by its header name; times in milliseconds.
column() { # csv-text benchmark-row-name column-name
    awk -F, -v row="\"$2\"" -v want="$3" '
        $1 == "name" { for (i = 1; i <= NF; ++i) { key = $i; gsub(/"/, "", key); index_of[key] = i }; next }
        $1 == row {
            value = $(index_of[want])
            if (want ~ /_time$/) {
                unit = $(index_of["time_unit"]); gsub(/"/, "", unit)
                if (unit == "us") value /= 1000; else if (unit == "ns") value /= 1e6
                else if (unit == "s") value *= 1000
            }
            print value
        }' <<<"$1"
}

median_ms() { # benchmark [cpu_time|real_time]
    local csv
    csv="$("${runner:-$bench}" --benchmark_filter="^$1(/real_time)?\$" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)"
    column "$csv" "$1_median" "${2:-cpu_time}"
    column "$csv" "$1/real_time_median" "${2:-cpu_time}"
}

work_peak_mib() { # benchmark
    local csv
    csv="$("${runner:-$bench}" --benchmark_filter="^$1(/real_time)?\$" --benchmark_min_time=0 \
        --benchmark_format=csv 2>/dev/null)"
    { column "$csv" "$1" work_peak_MiB; column "$csv" "$1/real_time" work_peak_MiB; } |
        awk 'NF { printf "%.1f", $1; found = 1 } END { if (!found) printf "-" }'
}

pair() { # label work floor [cpu_time|real_time]
    local work floor
    work="$(median_ms "$2" "${4:-cpu_time}")"
    floor="$(median_ms "$3" "${4:-cpu_time}")"
    printf "%-44s %10.3f %10.3f %6.2fx %9s %9s\n" "$1" "$work" "$floor" \
        "$(awk -v a="$work" -v b="$floor" 'BEGIN { print a / b }')" \
        "$(work_peak_mib "$2")" "$(work_peak_mib "$3")"
}

growth() { # benchmark
    local one four sixteen
    one="$(median_ms "$1/1")"
    four="$(median_ms "$1/4")"
    sixteen="$(median_ms "$1/16")"
    printf "%-44s %10.3f %10.3f %10.3f %7.2fx %7.2fx\n" "$1" "$one" "$four" "$sixteen" \
        "$(awk -v a="$four" -v b="$one" 'BEGIN { print a / b }')" \
        "$(awk -v a="$sixteen" -v b="$one" 'BEGIN { print a / b }')"
}

printf "%-44s %10s %10s %7s %9s %9s\n" "work" "ours ms" "floor ms" "ratio" "ours MiB" "floor MiB"
pair "data block of a 15 MiB list" BM_InflateBlockOnly BM_LibcupsParsePlusOneInflate
pair "the same list parsed into values" BM_ReadListFromPpd BM_LibcupsParsePlusOneInflate
pair "50,000-record SOAP answer" BM_DecodeAnswer50000Records BM_Libxml2ParseOnly50000Records
pair "one validated change across 500 options" BM_OneValidatedChange BM_SetValuesWithoutValidation
pair "500 controls built, reading included (wall)" BM_BuildControlsOfUISettingsFile \
    BM_ReadUISettingsFile real_time
pair "panel opened on the sample press" BM_OpenPanelOnSamplePress BM_ReadSessionResources
pair "print dialog drawn on the press queue (wall)" BM_StartGraphicalDialogOnQueue \
    BM_StartQtPrintDialogOnQueue real_time
pair "velmora --help, fresh process (wall)" BM_StartHelp BM_StartProgramThatDoesNothing real_time
pair "velmora plist of Info.plist (wall)" BM_StartTrivialPlist BM_StartProgramThatDoesNothing \
    real_time
if [ -x "$preview_bench" ]; then
    runner="$preview_bench"
    pair "preview after a change, sample document (wall)" BM_PreviewFollowsAChange/0 \
        BM_RenderOnePageAtPreviewSize/0 real_time
    pair "preview after a change, 200 pages (wall)" BM_PreviewFollowsAChange/200 \
        BM_RenderOnePageAtPreviewSize/200 real_time
    unset runner
fi

echo
printf "%-44s %10s %10s %10s %8s %8s\n" "growth" "1x ms" "4x ms" "16x ms" "4x/1x" "16x/1x"
growth BM_ReadListGrowth
growth BM_DecodeAnswerGrowth
growth BM_OneValidatedChangeGrowth
growth BM_BuildControlsGrowth
