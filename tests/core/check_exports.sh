#!/bin/sh
# The plug-in exports exactly its six undecorated names, nothing else.
# Usage: check_exports.sh <objdump> <SIGNDESK.dll>
set -eu
names=$("$1" -p "$2" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^\t\[/{print $NF} t&&/^$/{t=0}' | sort)
expected=$(printf '%s\n' SIGNDESK_XSCCmdCallBack SIGNDESK_XSCInformation SIGNDESK_XSCInitialize \
    SIGNDESK_XSCNtfCallBack SIGNDESK_XSCQueryInterface SIGNDESK_XSCUninitialize | sort)
if [ "$names" != "$expected" ]; then
    echo "exports differ:"; echo "$names"; exit 1
fi
# Both callback names lead to one function.
"$1" -p "$2" | grep -E 'SIGNDESK_XSC(Cmd|Ntf)CallBack' | awk '{print $1}' >/dev/null
echo "exports ok"
