#!/usr/bin/env bash
# run-zip-bench.sh [--tiny] [BUILD_DIR]
#
# Times our engine against Info-ZIP zip and unzip on the same corpus in one run and prints the
# ratios (ours / theirs; below 1.00 means we are faster). The corpus is built under BUILD_DIR
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

now() { date +%s.%N; }
elapsed() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.3f", a - b }'; }

declare -A theirs
for level in 2 6; do
    start=$(now)
    (cd "$corpus" && zip -q -r "-$level" "$work/infozip-$level.zip" .)
    theirs[write$level]=$(elapsed "$start")
    start=$(now)
    unzip -tqq "$work/infozip-$level.zip"
    theirs[test$level]=$(elapsed "$start")
done

ours=$("$build/bench/zip_throughput" "$corpus" "$work" 2 6)
echo "$ours"
declare -A mine
while read -r step level seconds _; do
    case "$step" in write|test) mine[$step${level#-}]=$seconds ;; esac
done <<<"$ours"

printf '%-10s %10s %10s %8s\n' step ours infozip ratio
for key in write2 write6 test2 test6; do
    printf '%-10s %10.2f %10.2f %8.2f\n' "$key" "${mine[$key]}" "${theirs[$key]}" \
        "$(awk -v a="${mine[$key]}" -v b="${theirs[$key]}" 'BEGIN { printf "%.3f", a / b }')"
done
ls -l "$work"/*.zip | awk '{print $5, $9}'
