#!/usr/bin/env bash
# Builds the scope file reader's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time, by default 60 seconds:
#   tests/fuzz/run_fuzz.sh [seconds]
# It runs over a copy of tests/fuzz/corpus, so the committed seeds stay as they are; regenerate
# them with PINPROBE_SEED_CORPUS=$PWD/tests/fuzz/corpus build/default/tests/scopefile_tests
# --gtest_filter=ScopeFileTest.SeedFilesGiveTheirAnswers.
# Inputs that crash are kept in $PINPROBE_FUZZ_ARTIFACTS (default build/fuzz-artifacts).
# Exits non-zero when an input crashes, leaks or reads out of bounds.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
artifacts=${PINPROBE_FUZZ_ARTIFACTS:-$root/build/fuzz-artifacts}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" -o "$work/scope_file_fuzz" \
    "$root/tests/fuzz/scope_file_fuzz.cpp" \
    "$root"/core/*.cpp \
    "$root/resources/string_table.cpp" \
    "$root"/scopefile/*.cpp

mkdir -p "$work/corpus" "$artifacts"
cp "$root"/tests/fuzz/corpus/* "$work/corpus/"
"$work/scope_file_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$work/corpus"
