#!/usr/bin/env bash
# Checks the export and import tables of the Windows DLLs in each build tree:
# the module exports exactly its three entry points, the log library its four
# functions, the frame writer its C interface; all import only system DLLs
# and the C runtime (the module also the log DLL by name), so nothing but a
# plain Windows machine is needed, and no GL library is imported.
#   check_dll_tables.sh BUILD_DIR:OBJDUMP...
set -euo pipefail

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Names between "[Ordinal/Name Pointer] Table" and the next blank line.
exports() { "$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort; }
imports() { "$1" -p "$2" | sed -n 's/^\s*DLL Name: //p' | sort -u; }

system_dll='^(kernel32|msvcrt|advapi32|user32|ws2_32|shell32|ole32|bcrypt)\.dll$'

check_dll() {
  local objdump="$1" dll="$2" expected_exports="$3" own_imports="$4"
  [ -f "$dll" ] || { fail "$dll is missing"; return; }
  local got
  got="$(exports "$objdump" "$dll" | tr '\n' ' ')"
  [ "$got" = "$expected_exports" ] || fail "$dll exports '$got', expected '$expected_exports'"
  local dll_name seen_own=""
  while read -r dll_name; do
    if [ "$dll_name" = "$own_imports" ]; then
      seen_own=1
    elif ! echo "$dll_name" | tr 'A-Z' 'a-z' | grep -Eq "$system_dll"; then
      fail "$dll imports $dll_name"
    fi
  done < <(imports "$objdump" "$dll")
  [ -z "$own_imports" ] || [ -n "$seen_own" ] || fail "$dll does not import $own_imports"
}

for pair in "$@"; do
  build="${pair%%:*}" objdump="${pair#*:}"
  check_dll "$objdump" "$build/bin/tallwick-ppapi-render.dll" \
    "PPP_GetInterface PPP_InitializeModule PPP_ShutdownModule " tallwick-log.dll
  check_dll "$objdump" "$build/bin/tallwick-log.dll" \
    "CreateTallwickLogger DestroyTallwickLogger TallwickLogSetSink TallwickLogWrite " ""
  writer_exports="tallwick_fw_begin tallwick_fw_buffer_size tallwick_fw_close tallwick_fw_commit tallwick_fw_create"
  writer_exports+=" tallwick_fw_create_sized tallwick_fw_error_text tallwick_fw_frame_size tallwick_fw_set_orientation"
  writer_exports+=" tallwick_fw_write_i420 tallwick_fw_write_nv12 "
  check_dll "$objdump" "$build/bin/tallwick-frame-writer.dll" "$writer_exports" ""
done

[ "$failures" -eq 0 ] || exit 1
echo "DLL tables as expected in: $*"
