#!/bin/sh
# The whole test suite as CI runs it: install what is missing, build, run every
# test with CTest, build and try the Debian package, then a short libFuzzer run
# of every fuzz target.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS")

# The Debian package, installed into a scratch root and started from there.
./scripts/package-check.sh build

# Soak: the panel offscreen against random controller faults, each interval ten
# times shorter, for two minutes (20 minutes of panel time). Over an hour of
# panel time the memory stays flat (-0.1 to +0.6 MB); in two minutes a fifth is
# only 24 s, and a download still held after a recovery can lift its lowest
# sample by about 5 MB, so the short run allows 8 MB.
build/tools/kvsoak --minutes 2 --speed 10 --rss-bound-kb 8192 >build/kvsoak.log 2>&1 ||
    { tail -40 build/kvsoak.log; echo "soak run failed"; exit 1; }
tail -8 build/kvsoak.log

# The project store reads its page tables on a second thread while loading,
# and the history is written by a worker thread: their tests run once more
# under ThreadSanitizer. The history's kill test starts a child process
# (fork and exec), which ThreadSanitizer would otherwise stop at; the
# suppressions name what Qt's own threads do unseen by the tool.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-fsanitize=thread -O1" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan -j "$JOBS" --target tst_kv_project_db tst_kv_history
for test in tst_kv_project_db tst_kv_history; do
    TSAN_OPTIONS="halt_on_error=1 die_after_fork=0 suppressions=$PWD/scripts/tsan-suppressions.txt" \
        build-tsan/tests/$test >build-tsan/$test.log 2>&1 ||
        { tail -50 build-tsan/$test.log; echo "$test under ThreadSanitizer failed"; exit 1; }
done
echo "project store and history under ThreadSanitizer: passed"

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
