#!/bin/sh
# Fails unless the DLL exports exactly _KELExtender2@40 (ordinal 1) and
# _KELExtenderQuery@12 (ordinal 2) and imports only Windows system DLLs.
objdump="$1"; dll="$2"
dump=$("$objdump" -p "$dll") || exit 1
status=0

expected="1 _KELExtender2@40
2 _KELExtenderQuery@12"
base=$(printf '%s\n' "$dump" | sed -n 's/^Ordinal Base[[:space:]]*//p' | head -n 1)
actual=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\(.*\)$/\1 \2/p' |
    while read -r index name; do echo "$((index + base)) $name"; done)
if [ "$actual" != "$expected" ]; then
    echo "unexpected exports:"; printf '%s\n' "$actual"; status=1
fi

allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|version|ole32|oleaut32|shell32|advapi32|msvcrt|ntdll)\.dll$'
for dll_name in $(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    lower=$(printf '%s' "$dll_name" | tr 'A-Z' 'a-z')
    if ! printf '%s\n' "$lower" | grep -Eq "$allowed"; then
        echo "non-system import: $dll_name"; status=1
    fi
done
[ $status -eq 0 ] && echo "exports and imports as expected"
exit $status
