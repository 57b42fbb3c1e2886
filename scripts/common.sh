# Shared by run.sh and test.sh: install what is missing, configure and build.

PACKAGES="cmake g++ make qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev"
JOBS=$(nproc 2>/dev/null || echo 2)

install_missing_packages() {
    local missing=""
    for package in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
    done
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "These packages are missing:$missing" >&2
        echo "Install them with: sudo apt-get install$missing" >&2
        exit 1
    fi
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq $missing >/dev/null
}

# build FOLDER [cmake options...]
build() {
    local folder=$1
    shift
    cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$folder" -j "$JOBS"
}
