#!/bin/sh
# The whole test suite as CI runs it: install what is missing, build, run every
# test with CTest, then a short libFuzzer run of every fuzz target.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS")

# Fuzz targets: clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKV_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-fuzz -j "$JOBS"
for target in build-fuzz/tests/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    [ -d "tests/fuzz/seeds/$name" ] && cp -n tests/fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
    echo "fuzzing $name for ${FUZZ_SECONDS}s"
    "$target" -max_total_time="$FUZZ_SECONDS" -max_len=4096 -rss_limit_mb=2048 "$corpus" >"build-fuzz/$name.log" 2>&1 ||
        { tail -50 "build-fuzz/$name.log"; echo "fuzz target $name failed"; exit 1; }
    grep -E "^(Done|#[0-9]+ +DONE)" "build-fuzz/$name.log" | tail -1 || true
done
echo "all tests passed"
