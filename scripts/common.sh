# Shared by scripts/run and scripts/test: installs what is missing and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

# Debian packages: the toolchain, Qt 6 with the offscreen platform, JPEG, the
# test and benchmark libraries, the fonts the windows use (Liberation stands in
# for Arial and Courier), poppler to read printed PDFs back, and GStreamer for
# Qt Multimedia's sound output, Python for the include-layer check, and Xvfb
# with xdotool for the tests that run the game on a real X server.
PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
    libjpeg62-turbo-dev
    libgtest-dev libbenchmark-dev
    fonts-liberation poppler-utils
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    python3
    xvfb xdotool
)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# build DIR [cmake options...]
build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}
