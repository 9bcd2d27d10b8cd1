#!/bin/sh
# The plug-in exports exactly its six undecorated names, nothing else, and
# both callback names lead to one function.
# Usage: check_exports.sh <objdump> <SIGNDESK.dll>
set -eu
table=$("$1" -p "$2")
names=$(printf '%s\n' "$table" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^\t\[/{print $NF} t&&/^$/{t=0}' | sort)
expected=$(printf '%s\n' SIGNDESK_XSCCmdCallBack SIGNDESK_XSCInformation SIGNDESK_XSCInitialize \
    SIGNDESK_XSCNtfCallBack SIGNDESK_XSCQueryInterface SIGNDESK_XSCUninitialize | sort)
if [ "$names" != "$expected" ]; then
    echo "exports differ:"; echo "$names"; exit 1
fi
# "[   i] +base[...] rva Export RVA" lines, then "[   i] name" lines.
callbacks=$(printf '%s\n' "$table" | awk '
    /^Export Address Table --/{a=1;next} /\[Ordinal\/Name Pointer\] Table/{a=0;n=1;next} /^$/{a=0;n=0}
    a&&/Export RVA/{gsub(/[][]/," "); rva[$1]=$4}
    n&&/CallBack$/{gsub(/[][]/," "); print rva[$1]}' | sort)
if [ "$(echo "$callbacks" | wc -w)" -ne 2 ] || [ "$(echo "$callbacks" | uniq | wc -l)" -ne 1 ]; then
    echo "the callback names lead to different functions: $callbacks"; exit 1
fi
echo "exports ok"
