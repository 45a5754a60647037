#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, address and undefined-behaviour sanitizers),
# replays every corpus once, then fuzzes each target for a bounded time.
#
#   scripts/fuzz.sh                      replay, then 20 s of fuzzing per target (the test run)
#   scripts/fuzz.sh --long SECONDS       replay, then SECONDS per target, one after the other
#   scripts/fuzz.sh [...] TARGET...      only these targets (fuzz_mission, fuzz_settings, ...)
#
# Replayed: the seeds written by the build (build/fuzz/corpus/TARGET), the inputs earlier runs
# kept (build/fuzz/work/TARGET) and every input that once failed (build/fuzz/artifacts/TARGET),
# so a finding fails again until it is fixed. New findings are written to
# build/fuzz/artifacts/TARGET/, each run's output to build/fuzz/logs/. Exits 1 when any target
# crashed, leaked, hung (-timeout), ran out of memory (-rss_limit_mb) or asked for a single block
# above -malloc_limit_mb, naming the target and the input.
#
# Allocation limit: the largest input is 128 KB (a mission; the other readers take far less), and
# every reader keeps what it makes in proportion to the file: a whole chunk, records, names and
# report lines. 64 MB is 500 times the largest input, so only a count or size taken from the file
# without checking it against the file's size reaches it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --long)
            seconds="${2:?--long needs a number of seconds}"
            shift 2 ;;
        -h|--help)
            sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'
            exit 0 ;;
        *)
            targets+=("$1")
            shift ;;
    esac
done
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_mission fuzz_favorites fuzz_settings fuzz_link_template fuzz_send_keys
             fuzz_text_recognition fuzz_quest_vars)
fi

build=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

max_len() {
    case "$1" in
        fuzz_mission) echo 131072 ;;
        fuzz_text_recognition) echo 65542 ;; # a 256 x 256 picture and its 6-byte head
        fuzz_send_keys) echo 1024 ;;
        *) echo 16384 ;;
    esac
}

failed=()
summary=()
for target in "${targets[@]}"; do
    binary="$build/fuzz/$target"
    seeds="$build/corpus/$target"
    work="$build/work/$target"
    artifacts="$build/artifacts/$target"
    logs="$build/logs"
    mkdir -p "$work" "$artifacts" "$logs"
    options=(-max_len="$(max_len "$target")" -malloc_limit_mb=64 -rss_limit_mb=2048 -timeout=10
             -artifact_prefix="$artifacts/" -print_final_stats=1)

    # Earlier findings are replayed file by file; the corpora as folders.
    found=()
    while IFS= read -r -d '' f; do found+=("$f"); done \
        < <(find "$artifacts" -type f -print0 | sort -z)
    echo "== $target: replaying the corpus${found:+ and ${#found[@]} earlier findings}"
    if ! "$binary" "${options[@]}" -runs=0 "$work" "$seeds" >"$logs/$target.replay.log" 2>&1; then
        failed+=("$target (replay of the corpus; see $logs/$target.replay.log)")
        grep -E 'ERROR|SUMMARY|Test unit written' "$logs/$target.replay.log" | head -20 >&2 || true
        continue
    fi
    for f in "${found[@]}"; do
        if ! "$binary" "${options[@]}" "$f" >>"$logs/$target.replay.log" 2>&1; then
            failed+=("$target (earlier finding $f still fails; see $logs/$target.replay.log)")
        fi
    done

    echo "== $target: fuzzing for $seconds s"
    if ! "$binary" "${options[@]}" -max_total_time="$seconds" "$work" "$seeds" \
            >"$logs/$target.log" 2>&1; then
        grep -E 'ERROR|SUMMARY|Test unit written' "$logs/$target.log" | head -20 >&2 || true
        unit=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$logs/$target.log" | tail -1)
        failed+=("$target (${unit:-no input written}; see $logs/$target.log)")
        continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$target.log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$logs/$target.log")
    last=$(grep -E '^#[0-9]+' "$logs/$target.log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corpus=$(find "$work" -type f | wc -l)
    summary+=("$(printf '%-22s %10s runs %7s exec/s  cov %6s  ft %7s  corpus %5s' \
        "$target" "$runs" "$speed" "$cov" "$ft" "$corpus")")
done

echo "== fuzzing summary ($seconds s per target)"
for line in "${summary[@]}"; do echo "$line"; done
if [ ${#failed[@]} -gt 0 ]; then
    echo "FUZZING FOUND FAULTS:" >&2
    for f in "${failed[@]}"; do echo "  $f" >&2; done
    exit 1
fi
echo "fuzzing: ${#targets[@]} targets, no finding"
