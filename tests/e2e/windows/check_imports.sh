#!/bin/sh
# The Windows program, linked statically, must need no DLL that Windows itself does not have.
set -eu
program=$1
system="kernel32.dll user32.dll gdi32.dll opengl32.dll glu32.dll msvcrt.dll winmm.dll msacm32.dll"
imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no imports read from $program" >&2; exit 1; }
status=0
for dll in $imports; do
  case " $system " in
    *" $(echo "$dll" | tr 'A-Z' 'a-z') "*) ;;
    *) echo "$program imports $dll, which Windows does not have" >&2; status=1 ;;
  esac
done
echo "imports: $(echo $imports)"
exit $status
