#!/usr/bin/env bash
# Fails when an executable imports a DLL that Windows itself does not ship (for example a
# MinGW runtime DLL that static linking should have folded in).
set -eu
allowed=" advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll "
status=0
for exe in "$@"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
  [ -n "$dlls" ] || { echo "$exe: no imports found" >&2; status=1; continue; }
  for dll in $dlls; do
    case "$allowed" in *" $dll "*) ;; *) echo "$exe imports $dll, which is not a system DLL" >&2; status=1 ;; esac
  done
  echo "$(basename "$exe"): $(echo $dlls)"
done
exit $status
