#!/usr/bin/env bash
# run-zip-bench.sh [--tiny] [BUILD_DIR]
#
# Times our engine against Info-ZIP zip and unzip on the same corpus in one run and prints the
# ratios (ours / theirs; below 1.00 means we are faster), by the clock and by CPU time, since
# the clock alone drifts on a shared machine. The corpus is built under BUILD_DIR
# (default: build/) with the shared corpus script when it is missing; nothing is committed.
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
tiny=""
if [ "${1:-}" = "--tiny" ]; then tiny="--tiny"; shift; fi
build=$(cd "${1:-$here/../build}" && pwd)
corpus="$build/bench-corpus${tiny:+-tiny}"
work="$build/bench-work"
make_corpus="${MAKE_CORPUS:-$here/../../shared/bench/make-corpus.sh}"
[ -x "$make_corpus" ] || make_corpus=/work/shared/bench/make-corpus.sh

if [ ! -d "$corpus" ]; then
    "$make_corpus" $tiny "$corpus"
fi
cmake --build "$build" --target zip_throughput >/dev/null
rm -rf "$work" && mkdir -p "$work"

# Wall-clock and CPU (user + system) seconds of one command: "REAL CPU".
timed() {
    local TIMEFORMAT='%R %U %S'
    { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}

declare -A theirs_real theirs_cpu mine_real mine_cpu
for level in 2 6; do
    read -r theirs_real[write$level] theirs_cpu[write$level] \
        < <(timed bash -c "cd '$corpus' && zip -q -r -$level '$work/infozip-$level.zip' .")
    read -r theirs_real[test$level] theirs_cpu[test$level] < <(timed unzip -tqq "$work/infozip-$level.zip")
done

ours=$("$build/bench/zip_throughput" "$corpus" "$work" 2 6)
echo "$ours"
while read -r step level seconds _ cpu _; do
    case "$step" in write|test) mine_real[$step${level#-}]=$seconds; mine_cpu[$step${level#-}]=$cpu ;; esac
done <<<"$ours"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-8s %9s %9s %7s   %9s %9s %7s\n' step ours-s infozip-s ratio ours-cpu iz-cpu ratio
for key in write2 write6 test2 test6; do
    printf '%-8s %9.2f %9.2f %7s   %9.2f %9.2f %7s\n' "$key" \
        "${mine_real[$key]}" "${theirs_real[$key]}" "$(ratio "${mine_real[$key]}" "${theirs_real[$key]}")" \
        "${mine_cpu[$key]}" "${theirs_cpu[$key]}" "$(ratio "${mine_cpu[$key]}" "${theirs_cpu[$key]}")"
done
ls -l "$work"/*.zip | awk '{print $5, $9}'
