#!/usr/bin/env bash
# Installs what is missing (Debian 12), builds, and runs the program on the demo exam.
#   ./tarvik.sh           build and open the demo exam (./tarvik.sh run demo.uzk: another form)
#   ./tarvik.sh test      build and run every test
#   ./tarvik.sh asan      build with AddressSanitizer and UndefinedBehaviorSanitizer, run every test
#   ./tarvik.sh package   build the Debian package build/tarvik_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-translations-l10n libxcb1-dev zlib1g-dev libjpeg-dev libgif-dev
          libsmbclient-dev libglib2.0-dev fonts-dejavu-core shared-mime-info desktop-file-utils)
# The share tests run their own Samba server; the test command checks the formatting.
TEST_PACKAGES=(samba clang-format)
# The package's dependencies are computed by dpkg-shlibdeps.
PACKAGE_PACKAGES=(dpkg-dev)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them as root with:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

build() { # build folder, extra cmake arguments
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# The programs and the demo only: what the player needs to open the demo exam.
build_programs() {
  cmake -S . -B build >/dev/null
  cmake --build build -j "$(nproc)" --target tarvik tarvik-tool tarvik-monitor tarvik-results tarvik-editor demo language_file
}

case "${1:-run}" in
  test | asan) install_missing "${PACKAGES[@]}" "${TEST_PACKAGES[@]}" ;;
  package) install_missing "${PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" ;;
  *) install_missing "${PACKAGES[@]}" ;;
esac
case "${1:-run}" in
  run)
    build_programs
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "Built. There is no display to open the player on; under Xvfb, for example:" >&2
      echo "  Xvfb :99 & DISPLAY=:99 $0" >&2
      exit 2
    fi
    # The demo in its three forms: demo.fzk (plain), demo-scrambled.fzk, demo.uzk.
    cd build/demo && exec ../app/tarvik "${2:-demo.fzk}"
    ;;
  test)
    # Every C++ file as the repository's .clang-format lays it out.
    find src app tools tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
      xargs -0 clang-format --dry-run --Werror
    build build
    cd build && ctest --output-on-failure
    ;;
  package)
    build build
    cd build && cpack -G DEB
    ;;
  asan)
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON -DTARVIK_BENCH=OFF
    cd build-asan && ctest --output-on-failure
    ;;
  *)
    echo "usage: $0 [run|test|asan|package]" >&2
    exit 2
    ;;
esac
