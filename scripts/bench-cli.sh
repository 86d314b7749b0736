#!/usr/bin/env bash
# Times proxcred-cli on generated files of a million lines and reports the
# wall time and peak memory of each run. Usage: scripts/bench-cli.sh [LINES]
# With BEFORE=path/to/an/older/proxcred-cli, runs each command with both
# binaries, side by side, on the same files.
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
frames = [rng.getrandbits(26) for _ in range(lines)]
forms = {
    "hid": lambda f: "%X" % ((1 << 37) | (1 << 26) | f),
    "hex": lambda f: "%07X" % f,
    "bin": lambda f: format(f, "026b"),
    "octal": lambda f: "%016o" % ((1 << 26) | f),
}
for form, text in forms.items():
    with open(f"{work}/frames.{form}", "w") as out:
        out.writelines(text(f) + "\n" for f in frames)
wiegand = [("H10301", 255, 65535), ("H10306", 65535, 65535), ("C1k35s", 4095, 1048575),
           ("C1k48s", 4194303, 8388607)]
with open(f"{work}/wiegand.csv", "w") as rows:
    rows.write("format,facility,card,issue,oem\n")
    for _ in range(lines):
        name, fc, cn = rng.choice(wiegand)
        rows.write(f"{name},{rng.randrange(fc + 1)},{rng.randrange(cn + 1)},,\n")
with open(f"{work}/rows.csv", "w") as rows:
    rows.write("format,hotstamp,facility,version\n")
    for _ in range(lines):
        rows.write(f"{rng.choice(keys)},{rng.randrange(70000)},{rng.randrange(300)},{rng.randrange(8)}\n")
PY

# Wall time and peak resident memory of one command, its output discarded.
# GNU time measures the command alone. A command that refuses some rows
# (exit 1) is timed all the same.
if [ ! -x /usr/bin/time ]; then
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq time >/dev/null
fi
measure() {
  local input=${*: -1}
  { /usr/bin/time -f "%e s  %M KB peak" "${@:1:$#-1}" <"$input" 2>&1 >/dev/null || true; } |
    tail -n 1
}

# One command, timed with this build and, given BEFORE, with the older one.
run() {
  local label=$1; shift
  local now; now=$(measure "$cli" "$@")
  if [ -n "${BEFORE:-}" ]; then
    echo "$label:  before $(measure "$BEFORE" "$@")  now $now"
  else
    echo "$label:  $now"
  fi
}

run "split --json, $lines lines" split --json "$work/cards.txt"
run "split (table), $lines lines" split "$work/cards.txt"
run "encode --csv -, $lines rows" encode --csv - "$work/rows.csv"
# The same 26-bit frames in every form. In octal, card data of a 26-bit card
# also reads at every unmarked length from 36 to 48 bits, where some 20
# formats fit it: about 2.4 KB of JSON a line, eight times the other forms'.
for form in bin hex hid octal; do
  run "wiegand decode --in $form --json, $lines lines" \
    wiegand decode --in "$form" --json "$work/frames.$form"
done
run "wiegand decode --in octal --json (48-bit card data), $lines lines" \
  wiegand decode --in octal --json "$work/cards.txt"
# Batch Wiegand encoding is new: an older binary has none to compare.
echo "wiegand encode --csv -, $lines rows:  $(measure "$cli" wiegand encode --csv - "$work/wiegand.csv")"
