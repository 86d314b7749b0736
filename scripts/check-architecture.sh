#!/usr/bin/env bash
# Checks the arrows between the targets (docs/architecture.md) on CMake's own
# dependency graph of the default build: the pure libraries use nothing but
# each other and the standard library, and the serial side and the fakes use
# the form's interfaces, never the form model.
set -euo pipefail
cd "$(dirname "$0")/.."

graph=$(mktemp -d)
trap 'rm -rf "$graph"' EXIT
cmake --preset default >/dev/null
(cd build/default && cmake --graphviz="$graph/deps.dot" . >/dev/null)

# "FROM TO" for every direct link, by target name.
edges=$(awk -F'"' '
  /^ *"node[0-9]+" \[ label = /     { name[$2] = $4 }
  /^ *"node[0-9]+" -> "node[0-9]+"/ { from[++n] = $2; to[n] = $4 }
  END            { for (i = 1; i <= n; i++) print name[from[i]], name[to[i]] }' "$graph/deps.dot")

failures=0
forbid() {  # forbid FROM_PATTERN TO_PATTERN WHY
  local found
  found=$(grep -E "^($1) ($2)\$" <<<"$edges" || true)
  if [ -n "$found" ]; then
    echo "FAILED: $3: $found"
    failures=$((failures + 1))
  fi
}
forbid "proxcred_bits" ".*" "the bit kernel uses nothing: every engine builds on it"
pure="proxcred_text|proxcred_bits|proxcred_formats|proxcred_split|proxcred_preset|proxcred_lock_protocol|proxcred_lock_reader|proxcred_platform"
forbid "$pure" "proxcred_(form|serial|fakes|gui|formscript|cli_commands)|Qt6::.*|nlohmann_json::.*" \
  "a pure library uses more than the pure libraries"
forbid "proxcred_wiegand|proxcred_em4100|proxcred_json_text" "proxcred_(form|serial|fakes|gui|formscript|cli_commands)|Qt6::.*" \
  "a library of plain values uses the form, the window or Qt"
forbid "proxcred_serial|proxcred_fakes" "proxcred_form" "the serial side or the fakes use the form model"
forbid "proxcred_cli_commands|proxcred-cli" "proxcred_form" "the command line uses the form model"
forbid "proxcred_(text|bits|formats|split|preset|form|wiegand|em4100|json_text|cli_commands|serial|fakes|gui|formscript)|proxcred-cli" \
  "proxcred_web" "a library or program uses the web app"
# No two targets use each other.
while read -r from to; do
  if grep -qx "$to $from" <<<"$edges"; then
    echo "FAILED: $from and $to use each other"
    failures=$((failures + 1))
  fi
done <<<"$edges"

# The folder table of the README and the picture in docs/architecture.md name
# every folder that builds something, and nothing that is gone.
mapfile -t folders < <(git ls-files '*/CMakeLists.txt' | awk -F/ 'NF == 2 { print $1 }' | sort -u)
picture=$(sed -n '/^## Who uses whom/,/^## /p' docs/architecture.md | sed -n '/^```$/,/^```$/p')
for folder in "${folders[@]}"; do
  grep -q "^| \`$folder/\` |" README.md ||
    { echo "FAILED: README's folder table has no row for $folder/"; failures=$((failures + 1)); }
  case $folder in tests | fuzz | bench | packaging | version) continue ;; esac
  grep -qw -- "$folder" <<<"$picture" ||
    { echo "FAILED: docs/architecture.md's picture does not show $folder"; failures=$((failures + 1)); }
done
while read -r listed; do
  [ -d "$listed" ] || { echo "FAILED: README's folder table lists $listed/, which is gone"; failures=$((failures + 1)); }
done < <(sed -n 's/^| `\([a-z0-9_]*\)\/` |.*/\1/p' README.md)

[ "$failures" -eq 0 ] && echo "architecture: every arrow points the allowed way; the folder table and picture name every folder"
[ "$failures" -eq 0 ]
