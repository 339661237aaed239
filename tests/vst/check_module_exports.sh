#!/usr/bin/env bash
# Checks that a built plug-in module exports exactly the names given
# (VSTPluginMain and main when none are) and, for a Windows module (.dll, or
# a VST 3 bundle's .vst3), that each leads into its code and that it imports
# nothing but Windows system DLLs (the C and C++ runtimes are linked in).
#   check_module_exports.sh MODULE [EXPORT...]
set -euo pipefail
module=${1:?usage: check_module_exports.sh MODULE [EXPORT...]}
shift
names=("$@")
[[ ${#names[@]} -gt 0 ]] || names=(VSTPluginMain main)
expected=$(printf '%s\n' "${names[@]}")

case $module in
  *.dll | *.vst3)
    dump=$(x86_64-w64-mingw32-objdump -p "$module")
    # Export table rows look like "[   0] +base[   1] 0001 VSTPluginMain".
    exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
              sed -n 's/^\s*\[\s*[0-9]*\]\s\+//p' | sort)
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
    # Every export must lead into the module's code. An entry point the link
    # dropped keeps its name in the table, with an address outside the image
    # (whole-program optimisation once did this to both).
    base=$((16#$(sed -n 's/^ImageBase\s\+//p' <<<"$dump")))
    read -r text_size text_start < <(x86_64-w64-mingw32-objdump -h "$module" |
                                     awk '$2 == ".text" {print $3, $4}')
    code_first=$((16#$text_start - base))
    code_end=$((code_first + 16#$text_size))
    addresses=$(sed -n 's/^\s*\[\s*[0-9]*\] +base\[\s*[0-9]*\] \([0-9a-f]\+\) Export RVA$/\1/p' <<<"$dump")
    allowed='^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|comctl32|wininet|ole32|oleaut32|msvcrt|ws2_32|msimg32|winmm|shlwapi|version|uxtheme|dwmapi|imm32|bcrypt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
    status=0
    for address in $addresses; do
      if ((16#$address < code_first || 16#$address >= code_end)); then
        echo "an export leads outside the module's code (RVA $address)"
        status=1
      fi
    done
    [[ -n $addresses ]] || { echo "no export addresses found"; status=1; }
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
  echo "exports differ from ${names[*]}:"
  echo "$exports"
  status=1
fi
[[ $status -eq 0 ]] && echo "$module exports exactly ${names[*]}"
exit $status
