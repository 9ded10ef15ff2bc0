#!/usr/bin/env bash
# Installs the build into a fresh prefix, moves the tree elsewhere (nothing in
# it may point back at where it was made), and builds examples/writer-demo.c
# against that tree alone: with the compiler and pkg-config, the shared and
# the static library, then as a CMake project with find_package, both again.
# Each program publishes ten small frames. The module must load from the tree
# with the log library beside it.
#
#   run.sh CMAKE GENERATOR CC BUILD_DIR SOURCE_DIR WORK_DIR
set -euo pipefail

cmake_exe="$1" generator="$2" cc="$3" build="$4" source="$5" work="$6"

fail() { echo "install test: $*" >&2; exit 1; }
# Whatever is found is found through the tree's own paths.
unset LD_LIBRARY_PATH

rm -rf "$work"
mkdir -p "$work/demo"
"$cmake_exe" --install "$build" --prefix "$work/staged" > "$work/install.log" ||
  fail "cmake --install failed (log: $work/install.log)"
mv "$work/staged" "$work/prefix"
prefix="$work/prefix"

# The library folder is the one the package files are in.
pc_file="$(find "$prefix" -name tallwick-frame-writer.pc)"
[ -n "$pc_file" ] || fail "no tallwick-frame-writer.pc under $prefix"
pc_dir="$(dirname "$pc_file")"
libdir="$(dirname "$pc_dir")"

# Only libraries, a header and package files: no program is installed.
programs="$(find "$prefix" -type f -perm -u+x ! -name '*.so' ! -name '*.so.*')"
[ -z "$programs" ] || fail "programs installed: $programs"

# The module finds the log library beside it through its own RUNPATH, and
# every symbol it imports resolves.
cat > "$work/load-module.c" << 'C'
#include <dlfcn.h>
#include <stdio.h>
int main(int argc, char** argv) {
  void* module = argc == 2 ? dlopen(argv[1], RTLD_NOW | RTLD_LOCAL) : NULL;
  if (module == NULL) {
    fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  return dlsym(module, "PPP_GetInterface") != NULL && dlsym(module, "PPP_InitializeModule") != NULL ? 0 : 2;
}
C
"$cc" -o "$work/load-module" "$work/load-module.c" -ldl
"$work/load-module" "$libdir/libtallwick-ppapi-render.so" ||
  fail "the installed module does not load"
log_lib="$(ldd "$libdir/libtallwick-ppapi-render.so" | awk '$1 == "libtallwick-log.so" { print $3 }')"
[ "$log_lib" = "$libdir/libtallwick-log.so" ] || fail "the module takes its log library from '$log_lib'"

# A copy of the program, so that nothing beside it in the source tree is seen.
cp "$source/examples/writer-demo.c" "$work/demo/"

# No path into the source or build tree may reach a consumer's commands.
no_tree_paths() {
  if grep -q -F -e "$source/writer" -e "$source/src" -e "$build/lib" "$@"; then
    fail "$1 names the source or build tree: $(grep -o -F -e "$source/writer" -e "$source/src" -e "$build/lib" "$@" | head -1)"
  fi
}

# Ten 64x36 frames in about a second; the segment is removed at the end.
run_demo() {
  local program="$1" name
  name="/tallwick-install-$$-${1##*/}"
  LD_BIND_NOW=1 "$program" --name "$name" --size 64x36 --fps 10 --seconds 1 \
    > "$program.out" 2> "$program.err" || fail "$program exited with $?: $(cat "$program.err")"
  grep -q -F "\"path\":\"$name\"" "$program.out" || fail "$program printed no record for $name: $(cat "$program.out")"
  grep -q -F "10 frames of 64x36 I420 written to $name" "$program.err" ||
    fail "$program did not write its frames: $(cat "$program.err")"
}

# The shared writer a program loads is the installed one.
writer_from() {
  local found
  found="$(ldd "$1" | awk '$1 == "libtallwick-frame-writer.so.0" { print $3 }')"
  [ "$found" = "$libdir/libtallwick-frame-writer.so.0" ] ||
    fail "$1 does not load the writer by its SONAME from $libdir (found '$found')"
}

# pkg-config, as the user's PKG_CONFIG_PATH would name the prefix.
command -v pkg-config > /dev/null || fail "no pkg-config (scripts/setup.sh installs it)"
export PKG_CONFIG_PATH="$pc_dir"
flags="$(pkg-config --cflags --libs tallwick-frame-writer)" || fail "pkg-config does not find the package"
static_flags="$(pkg-config --static --cflags --libs tallwick-frame-writer)"
printf '%s\n%s\n' "$flags" "$static_flags" > "$work/pkg-config.flags"
no_tree_paths "$work/pkg-config.flags"
# shellcheck disable=SC2086 # the flags are words
"$cc" -std=gnu11 -o "$work/demo/pc-shared" "$work/demo/writer-demo.c" $flags ||
  fail "writer-demo does not build with: $flags"
# A fully static program: everything the archive needs must come from --static.
# shellcheck disable=SC2086
"$cc" -std=gnu11 -static -o "$work/demo/pc-static" "$work/demo/writer-demo.c" $static_flags ||
  fail "writer-demo does not build statically with: $static_flags"
LD_LIBRARY_PATH="$libdir" writer_from "$work/demo/pc-shared"

# find_package, in a C-only project that sees nothing but the prefix.
cp "$source/tests/install/consumer/CMakeLists.txt" "$work/demo/"
"$cmake_exe" -S "$work/demo" -B "$work/demo/build" -G "$generator" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  > "$work/consumer-configure.log" 2>&1 || fail "the consumer project does not configure: $(tail -20 "$work/consumer-configure.log")"
package_dir="$(sed -n 's/^TallwickFrameWriter_DIR:PATH=//p' "$work/demo/build/CMakeCache.txt")"
case "$package_dir" in
  "$prefix"/*) ;;
  *) fail "find_package took the package from '$package_dir'" ;;
esac
"$cmake_exe" --build "$work/demo/build" > "$work/consumer-build.log" 2>&1 ||
  fail "the consumer project does not build: $(tail -20 "$work/consumer-build.log")"
no_tree_paths "$work/demo/build/compile_commands.json"
writer_from "$work/demo/build/writer-demo"

# The four at once.
pids=()
LD_LIBRARY_PATH="$libdir" run_demo "$work/demo/pc-shared" & pids+=($!)
run_demo "$work/demo/pc-static" & pids+=($!)
run_demo "$work/demo/build/writer-demo" & pids+=($!)
run_demo "$work/demo/build/writer-demo-static" & pids+=($!)
for pid in "${pids[@]}"; do
  wait "$pid" || exit 1
done

echo "install test: module loads; writer-demo built and run through pkg-config and find_package, shared and static"
