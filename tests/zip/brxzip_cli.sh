#!/usr/bin/env bash
# brxzip on host files: the command forms that scripts rely on, and their exit status.
set -euo pipefail
brxzip=${1:?usage: brxzip_cli.sh BRXZIP}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }

mkdir -p data/sub
head -c 200000 /dev/urandom > data/random.bin
seq 1 20000 > data/numbers.txt
echo "nested" > data/sub/nested.txt
echo "noise" > data/sub/skip.log

"$brxzip" a -r -9 -P 'pass word' -x '*.log' set.zip data >/dev/null
listing=$("$brxzip" l set.zip)
[ "$(wc -l <<<"$listing")" -eq 3 ] || fail "three entries expected: $listing"
grep -q " Z:$work/data/sub/nested.txt\$" <<<"$listing" || fail "stored name with drive: $listing"
grep -q "skip.log" <<<"$listing" && fail "excluded file stored"
"$brxzip" t -P 'pass word' set.zip >/dev/null || fail "test with the password"
if "$brxzip" t -P wrong set.zip >/dev/null 2>&1; then fail "test passed with a wrong password"; fi
unzip -tq -P 'pass word' set.zip >/dev/null || fail "unzip rejects our archive"

"$brxzip" x -P 'pass word' -d out set.zip >/dev/null
cmp data/random.bin "out$work/data/random.bin" || fail "extracted with folders"
"$brxzip" x -P 'pass word' -j -d flat set.zip '*.txt' >/dev/null
[ -f flat/nested.txt ] && [ -f flat/numbers.txt ] && [ ! -e flat/random.bin ] || fail "extract -j with a mask"

# Without -r only the folder's own files.
"$brxzip" a -0 top.zip data >/dev/null
[ "$("$brxzip" l top.zip | wc -l)" -eq 2 ] || fail "a without -r"

# Blocks: numbered files, read from the last one.
"$brxzip" a -0 -b 90000 blocks.zip data/random.bin >/dev/null
[ -f blocks.001 ] && [ -f blocks.003 ] && [ ! -e blocks.zip ] || fail "block files"
"$brxzip" t blocks.003 >/dev/null || fail "test from the last block"

# Errors carry the engine's message and a non-zero status.
head -c 3000 /dev/urandom > garbage.zip
if out=$("$brxzip" l garbage.zip 2>&1); then fail "garbage listed"; fi
[ "$out" = "Not a valid zip file!" ] || fail "message: $out"
if "$brxzip" q x.zip >/dev/null 2>&1; then fail "unknown command accepted"; fi
echo "brxzip: all forms work"
