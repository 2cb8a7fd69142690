#!/bin/bash
# Checks the built program from outside: a 32-bit GUI executable that imports
# only DLLs Windows ships, with its manifest, icon and version record.
# usage: check_exe.sh TACTIVIEW_EXE
set -u
exe=$1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

headers=$(i686-w64-mingw32-objdump -p "$exe")
resources=$(i686-w64-mingw32-windres -i "$exe" -O rc)

grep -q 'Magic[[:space:]]*010b[[:space:]]*(PE32)' <<<"$headers" || fail "not PE32"
grep -q 'architecture: i386' <<<"$(i686-w64-mingw32-objdump -f "$exe")" || fail "not i386"
grep -q 'Subsystem[[:space:]]*00000002' <<<"$headers" || fail "not the GUI subsystem"
grep -q 'large address aware' <<<"$headers" || fail "not large-address-aware"

# DLLs that every Windows has; nothing of the compiler's own.
shipped='^(ADVAPI32|COMDLG32|GDI32|KERNEL32|USER32|SHLWAPI|WINMM|comctl32|msvcrt)\.dll$'
imports=$(sed -n 's/.*DLL Name: //p' <<<"$headers")
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    grep -qiE "$shipped" <<<"$dll" || fail "imports $dll"
done
# InitCommonControls is imported by its ordinal, 17.
grep -qE '^[[:space:]]*80000011[[:space:]]+17[[:space:]]' <<<"$headers" ||
    fail "comctl32 ordinal 17 is not imported"

grep -q '^1 24 /\* RT_MANIFEST \*/' <<<"$resources" || fail "no manifest"
# The manifest's text, joined from the pieces windres prints.
manifest=$(sed -n '/RT_MANIFEST/,/^END/p' <<<"$resources" | sed -n 's/^ *"\(.*\)"$/\1/p' |
    tr -d '\n' | sed 's/""/"/g; s/\\n/\n/g')
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="X86" publicKeyToken="6595b64144ccf1df" language="\*"' \
    <<<"$manifest" || fail "the manifest does not ask for Common Controls 6 on X86"
[ "$(grep -c '<assemblyIdentity' <<<"$manifest")" -eq 1 ] && ! grep -qiE 'trustInfo|compatibility' <<<"$manifest" ||
    fail "the manifest declares more than the Common Controls dependency"
grep -q '^100 14 /\* RT_GROUP_ICON \*/' <<<"$resources" || fail "no icon group 100"
[ "$(grep -c '3 /\* RT_ICON \*/' <<<"$resources")" -eq 2 ] || fail "the icon has not two images"
grep -q 'FILEVERSION 1, 0, 2008, 227' <<<"$resources" || fail "wrong file version"
grep -q 'PRODUCTVERSION 1, 0, 2008, 227' <<<"$resources" || fail "wrong product version"
grep -q 'VALUE "FileVersion", "1.0 (02/08)"' <<<"$resources" || fail "wrong file-version text"
grep -q '^100 DIALOGEX 10, 10, 223, 218' <<<"$resources" || fail "no main window template"
grep -q '^101 DIALOGEX 10, 10, 186, 79' <<<"$resources" || fail "no port dialog template"

[ $failures -eq 0 ] && echo "tactiview.exe: all checks passed"
exit $((failures > 0))
