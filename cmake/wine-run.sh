#!/bin/sh
# Runs a Windows test program under Wine with its output through a file, not
# the caller's pipe: a console host that Wine leaves behind after a child
# process was ended keeps every handle it inherited, and CTest would wait for
# the pipe to close. Usage: wine-run.sh WINE PROGRAM [ARGS...]
wine=$1
shift
log=$(mktemp "${TMPDIR:-/tmp}/zarirevo-wine-XXXXXX")
"$wine" "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit "$rc"
