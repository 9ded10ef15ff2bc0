#!/usr/bin/env bash
# Cross-builds for Windows with MinGW-w64: build-win32/ holds the i686
# product (the module and the log library) and build-win64/ the same for
# x86_64; each also has pphost.exe, frame-publisher.exe and the Windows test
# suite, which ctest runs under Wine in that tree. The Linux build (build/)
# comes first when the GL-call tests are wanted: they compare with its pphost.
#
#   scripts/build-windows.sh [--win32-only] [-- extra cmake args]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

targets=(win32 win64)
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --win32-only) targets=(win32) ;;
    --) shift; extra=("$@"); break ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "build-windows: unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done

jobs="$(nproc)"
for target in "${targets[@]}"; do
  build_dir="$root/build-$target"
  case "$target" in
    win32) toolchain=mingw-w64-i686 ;;
    win64) toolchain=mingw-w64-x86_64 ;;
  esac
  echo "== Windows build $target ($build_dir)"
  cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DTALLWICK_BENCH=OFF -DTALLWICK_WERROR=ON \
    -DTALLWICK_TESTS=ON -DTALLWICK_WINDOWS_TOOLS=ON -DTALLWICK_LINUX_BIN="$root/build/bin" "${extra[@]}"
  cmake --build "$build_dir" -j "$jobs"
done
