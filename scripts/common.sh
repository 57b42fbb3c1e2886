# Shared by run.sh, test.sh, scripts/fuzz.sh and scripts/stress.sh: install
# what is missing, configure and build, run the tests, fuzz.

PACKAGES="cmake g++ ninja-build ccache qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev"
# Without them the fuzz targets run under the standalone driver.
FUZZ_PACKAGES="clang-14 libclang-rt-14-dev"
# Without them the key tests run on the offscreen platform only, and the
# players' window leaving the keyboard where it was (a window manager's doing) goes untried.
X11_PACKAGES="xvfb xauth openbox x11-utils"
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || printf ' %s' "$package"
    done
}

# install_missing_packages [--optional] PACKAGES...: a missing required
# package stops the script when it cannot be installed.
install_missing_packages() {
    local optional=false
    [ "${1:-}" = --optional ] && optional=true && shift
    local missing
    missing=$(missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        $optional && return 0
        echo "These packages are missing:$missing" >&2
        echo "Install them with: sudo apt-get install$missing" >&2
        exit 1
    fi
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    if ! apt-get install -y -qq $missing >/dev/null; then
        $optional && return 0
        exit 1
    fi
}

# build FOLDER [cmake options...]: with Ninja, and ccache when present.
build() {
    local folder=$1
    shift
    local options=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
    command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the checkout, and the checkout's folder left out of the
    # debug builds' key, so that another clone or worktree hits the same cache.
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
    # A folder configured with another generator is configured afresh.
    if [ -f "$folder/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$folder/CMakeCache.txt"; then
        rm -rf "$folder"
    fi
    cmake -S . -B "$folder" "${options[@]}" "$@" >/dev/null
    cmake --build "$folder" -j "$JOBS" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
}

# on_exit COMMAND: run at the script's end, after the commands given later.
on_exit() {
    EXIT_COMMANDS="$1${EXIT_COMMANDS:+; $EXIT_COMMANDS}"
    trap "$EXIT_COMMANDS" EXIT
}

# Sets what the tests run with: the offscreen platform, and a temporary folder
# of their own, removed at the end.
prepare_test_environment() {
    export QT_QPA_PLATFORM=offscreen
    # The tests write and rewrite many small files: a memory file system spares the disk.
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then
        TMPDIR=$(mktemp -d /dev/shm/ravelhorn-tests.XXXXXX)
        # Another user's program, that the tests run as root, reaches its folder through it.
        chmod 711 "$TMPDIR"
        export TMPDIR
        on_exit "rm -rf '$TMPDIR'"
    fi
}

fuzz_targets() {
    local source
    for source in fuzz/fuzz_*.cpp; do
        source=${source#fuzz/fuzz_}
        echo "${source%.cpp}"
    done
}

# Builds the fuzz targets: with libFuzzer when clang is there, else as
# standalone drivers in the normal build. Sets FUZZ_BIN.
build_fuzz_targets() {
    if command -v clang++-14 >/dev/null; then
        BUILD_TARGET=fuzz_targets build build-fuzz -DRAVELHORN_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 -DRAVELHORN_BENCH=OFF
        FUZZ_BIN=build-fuzz/bin
    else
        BUILD_TARGET=fuzz_targets build build
        FUZZ_BIN=build/bin
    fi
}

# fuzz NAME SECONDS: new inputs go to build-fuzz/corpus/NAME, failing ones
# to build-fuzz/artifacts/NAME; prints libFuzzer's final stats.
fuzz() {
    local name=$1 seconds=$2
    local work=build-fuzz/corpus/$name artifacts=build-fuzz/artifacts/$name/ log=build-fuzz/fuzz-$name.log
    mkdir -p "$work" "$artifacts" fuzz/corpus/"$name"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts")
    [ -f fuzz/"$name".dict ] && options+=(-dict=fuzz/"$name".dict)
    # A fixed seed makes a short run repeatable: a slower machine runs a prefix of the same inputs.
    [ -n "${FUZZ_SEED:-}" ] && options+=(-seed="$FUZZ_SEED")
    local folders=("$work" fuzz/corpus/"$name")
    [ -d fuzz/regressions/"$name" ] && folders+=(fuzz/regressions/"$name")
    echo "Fuzzing $name for $seconds s"
    if ! QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
        "$FUZZ_BIN/fuzz_$name" "${options[@]}" "${folders[@]}" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz_$name failed; the input is in $artifacts (add it to fuzz/regressions/$name/)" >&2
        return 1
    fi
    grep -E '^#[0-9]+ +DONE|^stat::' "$log"
}
