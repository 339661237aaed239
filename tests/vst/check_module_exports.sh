#!/usr/bin/env bash
# Checks that a built plug-in module exports exactly VSTPluginMain and main
# and, for a Windows DLL, imports nothing but Windows system DLLs (the C and
# C++ runtimes are linked in).
#   check_module_exports.sh MODULE
set -euo pipefail
module=${1:?usage: check_module_exports.sh MODULE}
expected=$'VSTPluginMain\nmain'

case $module in
  *.dll)
    dump=$(x86_64-w64-mingw32-objdump -p "$module")
    # Export table rows look like "[   0] +base[   1] 0001 VSTPluginMain".
    exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
              sed -n 's/^\s*\[\s*[0-9]*\]\s\+//p' | sort)
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
    allowed='^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|comctl32|wininet|ole32|oleaut32|msvcrt|ws2_32|msimg32|winmm|shlwapi|version|uxtheme|dwmapi|imm32|bcrypt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
    status=0
    while read -r dll; do
      [[ -z $dll ]] && continue
      if ! [[ ${dll,,} =~ $allowed ]]; then
        echo "imports $dll, which is not a Windows system DLL"
        status=1
      fi
    done <<<"$imports"
    ;;
  *)
    exports=$(nm -D --defined-only "$module" | awk '{print $3}' | sed 's/@.*//' | grep -v '^$' | sort)
    status=0
    ;;
esac

if [[ $exports != "$(sort <<<"$expected")" ]]; then
  echo "exports differ from VSTPluginMain and main:"
  echo "$exports"
  status=1
fi
[[ $status -eq 0 ]] && echo "$module exports exactly VSTPluginMain and main"
exit $status
