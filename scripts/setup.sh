#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs (only those missing), then
# configures and builds. Safe to run again; needs root (or sudo) for apt-get.
#
#   scripts/setup.sh [--no-build] [--windows] [--browser] [--shell] [--coverage] [--build-dir DIR] [--build-type TYPE] [-- extra cmake args]
#     --windows   also install what the Windows cross builds and their tests
#                 under Wine need (scripts/build-windows.sh builds them)
#     --browser   also install what only the browser tests use: chromium,
#                 Node.js and npm (when there is no node yet), and the test
#                 driver and TypeScript (the page client's type check) from
#                 npm at the versions tests/browser/package-lock.json pins
#     --shell     also install what only the real-host tests use: Node.js and
#                 npm, and their npm package at the version
#                 tests/realhost/package-lock.json pins
#     --coverage  also install what only scripts/coverage.sh uses: llvm-14's
#                 llvm-profdata and llvm-cov (clang 14 is always installed)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

build=1
windows=0
browser=0
shell=0
coverage=0
build_dir="$root/build"
build_type="RelWithDebInfo"
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --windows) windows=1 ;;
    --browser) browser=1 ;;
    --shell) shell=1 ;;
    --coverage) coverage=1 ;;
    --build-dir) build_dir="$2"; shift ;;
    --build-type) build_type="$2"; shift ;;
    --) shift; extra=("$@"); break ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "setup: unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format clang-tidy
  libclang-rt-14-dev
  libfmt-dev libspdlog-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  libpng-dev libyuv-dev zlib1g-dev
  libboost-dev libjpeg62-turbo-dev
  libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri
  jq
  qtwebengine5-dev xvfb
)
# MinGW-w64 GCC 12 (POSIX threads) and binutils for i686 and x86_64, Wine to
# run both builds (wine64 has the /usr/lib/wine/wine64 launcher of the x86_64
# build, wine32:i386 the /usr/lib/wine/wine one of the i686 build),
# GoogleTest's sources to build it for them, zlib built for both (pphost's
# GL call record), and Mesa's GLX for both Wines (pphost.exe --gl wgl: Wine's
# WGL is the X server's GLX, Xvfb's here).
windows_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 wine32:i386 googletest libz-mingw-w64-dev
  libgl1 libglx-mesa0 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
)
[ "$windows" -eq 0 ] || packages+=("${windows_packages[@]}")
[ "$browser" -eq 0 ] || packages+=(chromium)
[ "$coverage" -eq 0 ] || packages+=(llvm-14)
if [ "$browser" -eq 1 ] || [ "$shell" -eq 1 ]; then
  command -v node > /dev/null || packages+=(nodejs)
  command -v npm > /dev/null || packages+=(npm)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# 32-bit Wine is an i386 package: dpkg must know the architecture before
# apt-get update lists its packages. Added once; dpkg keeps it.
if [ "$windows" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (for wine32:i386)"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi

# A kernel without IA-32 emulation runs no i386 program, 32-bit Wine's loader
# included ("cannot execute binary file: Exec format error"; so on this
# project's VMs). qemu-i386 then runs them, registered with binfmt_misc so
# that the processes Wine starts go through it too. A registration lasts until
# the next boot, so it is checked on every run.
wine32_runs() { /usr/lib/wine/wine --version > /dev/null 2>&1; }
if [ "$windows" -eq 1 ] && ! wine32_runs; then
  if ! installed qemu-user-static; then
    echo "setup: installing qemu-user-static (this kernel runs no i386 code)"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends qemu-user-static
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "setup: registering qemu-i386-static for i386 programs"
    # ELF, 32-bit, little-endian, executable or shared object, machine i386.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    # F: the kernel opens qemu now, so it is found from any mount namespace.
    printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" | "${sudo_cmd[@]}" tee "$binfmt/register" > /dev/null
  fi
  wine32_runs || { echo "setup: 32-bit Wine does not start, not even through qemu-i386" >&2; exit 1; }
fi

# The npm packages a test folder pins, when its lock file is newer than
# what is installed.
npm_ci() {
  local lock="$root/tests/$1/package-lock.json"
  local installed="$root/tests/$1/node_modules/.package-lock.json"
  if [ ! -f "$installed" ] || [ "$lock" -nt "$installed" ]; then
    echo "setup: npm ci (tests/$1)"
    (cd "$root/tests/$1" && npm ci --no-audit --no-fund --loglevel=error)
  fi
}
[ "$browser" -eq 0 ] || npm_ci browser
[ "$shell" -eq 0 ] || npm_ci realhost

[ "$build" -eq 1 ] || exit 0

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${extra[@]}"
cmake --build "$build_dir" -j "$(nproc)"
