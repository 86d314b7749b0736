#!/usr/bin/env bash
# The Windows installer under Wine: msiexec installs both programs, the texts
# and a Start menu entry for the window; both programs run from where it put
# them; msiexec removes all of it again.
# Usage: msi_under_wine.sh INSTALLER.msi VERSION WINE
set -uo pipefail
msi=$1 version=$2 wine=$3
: "${WINEPREFIX:?the Windows test preset sets WINEPREFIX}"
folder="$WINEPREFIX/drive_c/Program Files/proxcred"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The package is per machine; Wine's msiexec still puts its shortcuts in the
# user's Start menu, so either is taken.
start_menu_entries() {
  find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/*' \
    -name 'Proximity Credential Translator.lnk' 2>/dev/null
}

# A failed earlier run may have left the product installed.
"$wine" msiexec /x "Z:$msi" /qn >/dev/null 2>&1

"$wine" msiexec /i "Z:$msi" /qn || fail "msiexec /i exited with $?"
for file in proxcred.exe proxcred-cli.exe LICENSE.txt THIRD-PARTY-NOTICES.txt proxcred.txt; do
  [ -f "$folder/$file" ] || fail "not installed: Program Files/proxcred/$file"
done
[ -n "$(start_menu_entries)" ] || fail "no Start menu entry for the window"

# Both programs, run by their installed paths.
run() { "$wine" "C:\\Program Files\\proxcred\\$1" "${@:2}" 2>/dev/null | tr -d '\r'; }
[ "$(run proxcred-cli.exe --version)" = "proxcred-cli $version" ] \
  || fail "installed proxcred-cli.exe --version printed '$(run proxcred-cli.exe --version)'"
[ "$(run proxcred-cli.exe encode -f 26 -F 118 1603)" = 0000000673006206 ] \
  || fail "installed proxcred-cli.exe does not encode 118/1603"
[ "$(run proxcred.exe --version)" = "proxcred $version" ] \
  || fail "installed proxcred.exe --version printed '$(run proxcred.exe --version)'"

"$wine" msiexec /x "Z:$msi" /qn || fail "msiexec /x exited with $?"
[ ! -e "$folder" ] || fail "left after removal: $(ls -A "$folder" | tr '\n' ' ')"
[ -z "$(start_menu_entries)" ] || fail "Start menu entry left after removal"

[ $failures -eq 0 ] && echo "installer: installs, runs and removes cleanly"
exit $((failures > 0))
