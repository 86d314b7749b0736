#!/usr/bin/env bash
# The bash completion of proxcred-cli, called as bash calls it: the words typed
# so far in COMP_WORDS, the word being completed at COMP_CWORD. Each case
# names the candidates that must be offered, and any that must not.
# Usage: completion_test.sh COMPLETION_FILE PROXCRED_CLI
set -uo pipefail
# shellcheck source=/dev/null
source "$1"
cli=$2
failures=0

# complete WORDS... : the candidates for the last word.
complete_words() {
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$#
  _proxcred_cli
  printf '%s\n' "${COMPREPLY[@]}"
}

# expect "WORDS" WANTED... [-- UNWANTED...]
expect() {
  local words=$1 offered
  shift
  # shellcheck disable=SC2086
  offered=$(complete_words $words "")
  local unwanted=0
  for candidate in "$@"; do
    if [ "$candidate" = -- ]; then unwanted=1; continue; fi
    if grep -qxF -- "$candidate" <<<"$offered"; then
      [ $unwanted -eq 1 ] && { echo "FAIL: '$words' offers $candidate"; failures=$((failures + 1)); }
    else
      [ $unwanted -eq 0 ] && { echo "FAIL: '$words' does not offer $candidate (got: $(echo $offered))"; failures=$((failures + 1)); }
    fi
  done
}

expect "" encode split read wiegand em formats --version
expect "encode" -f --format -F --facility -V --version --csv -- --json
expect "encode -f" 26 35X Proxif Casi
expect "wiegand" list encode decode identify -- split
expect "wiegand encode" -w --fc --cn --out --csv --offset --max-cards -- --in
expect "wiegand decode" --in --bits -w --json --csv --all --offset
expect "wiegand identify" --in --bits --json -- --out
expect "wiegand list" --json --layout
expect "wiegand list --layout" H10304 P10004
expect "wiegand encode -w" H10301 H10302 Verkada40
expect "wiegand decode --in" bin hex hid octal pacs fccn number flipper -- pm3
expect "wiegand encode --out" hid pacs fccn number flipper pm3
expect "wiegand encode -w H10301 --fc 1 --cn 1" --json --out
expect "em" --in --out --json
expect "em --in" id dez8 dez5.5 dez3.5a w26 flipper -- pm3 hid
expect "em --out" dez14 flipper pm3
expect "read --port" 1 9
expect "read" --port --timeout --split

# Completing a partial word narrows the list.
COMP_WORDS=("$cli" wiegand encode -w H1030); COMP_CWORD=4; _proxcred_cli
for name in "${COMPREPLY[@]}"; do
  [[ $name == H1030* ]] || { echo "FAIL: 'H1030' offers $name"; failures=$((failures + 1)); }
done
[[ " ${COMPREPLY[*]} " == *" H10301 "* ]] || { echo "FAIL: 'H1030' does not offer H10301"; failures=$((failures + 1)); }

# A format file named on the line gives its names too.
formats=$(mktemp)
trap 'rm -f "$formats"' EXIT
cat >"$formats" <<'JSON'
{"formats": [{"name": "Site99", "bits": 26, "fields": {"card": {"start": 1, "length": 24}}}]}
JSON
COMP_WORDS=("$cli" wiegand encode --formats "$formats" -w ""); COMP_CWORD=6; _proxcred_cli
[[ " ${COMPREPLY[*]} " == *" Site99 "* ]] || { echo "FAIL: --formats file's names not offered"; failures=$((failures + 1)); }

[ $failures -eq 0 ] && echo "completion: all cases pass"
exit $((failures > 0))
