#!/usr/bin/env bash
# Checks a Windows release exe without running it: 32-bit, GUI subsystem, and
# importing only DLLs that every Windows has. Prints its size and imports.
set -euo pipefail
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
fail=0
grep -q "Magic.*010b" <<<"$dump" || { echo "not a 32-bit (PE32) image"; fail=1; }
grep -q "Subsystem.*(Windows GUI)" <<<"$dump" || { echo "not a GUI-subsystem program"; fail=1; }
imports=$(grep "DLL Name:" <<<"$dump" | awk '{print toupper($3)}' | sort -u)
for dll in $imports; do
  case $dll in
    KERNEL32.DLL | USER32.DLL | GDI32.DLL | WINMM.DLL | MSVCRT.DLL) ;;
    *) echo "imports $dll, which not every Windows has"; fail=1 ;;
  esac
done
echo "$(basename "$exe"): $(stat -c %s "$exe") bytes; imports:" $imports
[[ $fail -eq 0 ]] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
