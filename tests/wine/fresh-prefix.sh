#!/usr/bin/env bash
# Runs a command in a Wine prefix of its own, copied from the session's
# template, and removes the prefix afterwards.
set -uo pipefail
: "${SAVER_TEMPLATE_PREFIX:?run inside scripts/wine-session.sh}"
prefix=$(mktemp -d /tmp/velorin-prefix.XXXXXX)
bash "$(dirname "$0")/../../scripts/copy-prefix.sh" "$SAVER_TEMPLATE_PREFIX" "$prefix"
export WINEPREFIX=$prefix
/usr/lib/wine/wineserver -p
"$@"
status=$?
/usr/lib/wine/wineserver -k 2>/dev/null
rm -rf "$prefix"
exit $status
