#!/usr/bin/env bash
# Times proxcred-cli on generated files of a million lines and reports the
# wall time and peak memory of each run. Usage: scripts/bench-cli.sh [LINES]
set -euo pipefail
cd "$(dirname "$0")/.."

lines=${1:-1000000}
cmake --preset default >/dev/null
cmake --build --preset default --target proxcred-cli proxcred_bench >/dev/null
cli=build/default/cli/proxcred-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$lines" "$work" <<'PY'
import random, sys
lines, work = int(sys.argv[1]), sys.argv[2]
rng = random.Random(2026)
keys = ["26", "34", "35", "35X", "36X", "37X", "37", "Proxif", "Casi"]
with open(f"{work}/cards.txt", "w") as cards:
    for _ in range(lines):
        cards.write("%016o\n" % rng.getrandbits(48))
with open(f"{work}/frames.txt", "w") as frames:
    for _ in range(lines):
        frames.write("%X\n" % ((1 << 37) | (1 << 26) | rng.getrandbits(26)))
with open(f"{work}/rows.csv", "w") as rows:
    rows.write("format,hotstamp,facility,version\n")
    for _ in range(lines):
        rows.write(f"{rng.choice(keys)},{rng.randrange(70000)},{rng.randrange(300)},{rng.randrange(8)}\n")
PY

# Wall time and peak resident memory of one command, its output discarded.
# GNU time measures the command alone.
if [ ! -x /usr/bin/time ]; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq time >/dev/null
fi
measure() {
  local input=${*: -1}
  /usr/bin/time -f "%e s  %M KB peak" "${@:1:$#-1}" <"$input" 2>&1 >/dev/null | tail -n 1
}

echo "split --json, $lines lines:   $(measure "$cli" split --json "$work/cards.txt")"
echo "split (table), $lines lines:  $(measure "$cli" split "$work/cards.txt")"
echo "encode --csv -, $lines rows:  $(measure "$cli" encode --csv - "$work/rows.csv")"
echo "wiegand decode --in hid --json, $lines lines:  $(measure "$cli" wiegand decode --in hid --json "$work/frames.txt")"
