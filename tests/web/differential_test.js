// The core compiled to WebAssembly against the native command line: many
// thousands of random encodings, splits, Wiegand decodings and EM4100 IDs,
// each batch through the web app's card tools under node and through
// proxcred-cli, byte for byte the same output, errors and exit status.
// Usage: node differential_test.js PROXCRED_JS CORE_JS PROXCRED_CLI
"use strict";
const { spawnSync } = require("child_process");
const [proxcredJs, coreJs, cli] = process.argv.slice(2);
const ProxcredCore = require(proxcredJs);
const { loadProxcred } = require(coreJs);

// The same cases on every run.
let seed = 20261207;
function random() {
  seed = (seed + 0x6d2b79f5) | 0;
  let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (list) => list[Math.floor(random() * list.length)];
const digits = (count, alphabet) => Array.from({ length: count }, () => pick(alphabet)).join("");

let failures = 0;
let cases = 0;
function compare(name, count, native, wasm) {
  cases += count;
  for (const part of ["status", "out", "err"]) {
    if (native[part] !== wasm[part]) {
      failures++;
      const at = [...native[part]].findIndex((c, i) => c !== wasm[part][i]);
      console.log(`FAILED: ${name}: ${part} differs near ${at}: native ${JSON.stringify(String(native[part]).slice(Math.max(0, at - 40), at + 40))}, wasm ${JSON.stringify(String(wasm[part]).slice(Math.max(0, at - 40), at + 40))}`);
    }
  }
}
function native(args, input = "") {
  const run = spawnSync(cli, args, { input, encoding: "utf8", maxBuffer: 1 << 28 });
  return { status: run.status, out: run.stdout, err: run.stderr };
}

// Hotstamps as people type them, and as they mistype them.
function hotstamp() {
  return pick([
    () => String(Math.floor(random() * 65536)),
    () => String(Math.floor(random() * 4294967296)),
    () => "0" + String(Math.floor(random() * 100000)),
    () => String(-Math.floor(random() * 1000)),
    () => (random() * 100000).toFixed(Math.floor(random() * 4)),
    () => pick(["", " 12 ", "1e3", "12a", "0x10", "99999999999999999999", "1.5e300", ".5"]),
  ])();
}

function octalLine() {
  return pick([
    () => digits(16, "01234567"),
    () => digits(16, "0000000001234567"),
    () => digits(Math.floor(random() * 20), "01234567"),
    () => digits(16, "0123456789"),
  ])();
}

function frameLine(form) {
  if (form === "bin") return digits(26 + Math.floor(random() * 14), "01");
  return digits(5 + Math.floor(random() * 12), "0123456789ABCDEF");
}

loadProxcred(ProxcredCore).then((core) => {
  const tools = core.cardTools();
  for (const key of ["26", "34", "35", "35X", "36X", "37X", "37", "Proxif", "Casi", "X"]) {
    for (const facility of ["0", "12", "255", "65535", "-1", "abc"]) {
      const hotstamps = Array.from({ length: 400 }, hotstamp);
      compare(`encode -f ${key} -F ${facility}`, hotstamps.length,
        native(["encode", "-f", key, "-F", facility, "-V", "3", "--", ...hotstamps]),
        tools.encode(key, facility, "3", hotstamps));
    }
  }
  for (const json of [false, true]) {
    const lines = Array.from({ length: 5000 }, octalLine).join("\n") + "\n";
    compare(`split${json ? " --json" : ""}`, 5000, native(["split", ...(json ? ["--json"] : [])], lines),
      tools.split(lines, json));
  }
  for (const form of ["hex", "bin"]) {
    for (const json of [false, true]) {
      const lines = Array.from({ length: 3000 }, () => frameLine(form)).join("\n") + "\n";
      compare(`wiegand decode --in ${form}${json ? " --json" : ""}`, 3000,
        native(["wiegand", "decode", "--in", form, ...(json ? ["--json"] : [])], lines),
        tools.wiegandDecode(lines, form, { json }));
    }
  }
  const formats = JSON.parse(tools.wiegandList(true).out).map((format) => format.name);
  for (let i = 0; i < 150; i++) {
    const format = pick(formats);
    const numbers = { facility: String(Math.floor(random() * 300)), card: String(Math.floor(random() * 70000)) };
    const out = pick(["bin", "hex", "hid", "octal", "pacs", "fccn", "number", "pm3"]);
    compare(`wiegand encode -w ${format} --out ${out}`, 1,
      native(["wiegand", "encode", "-w", format, "--fc", numbers.facility, "--cn", numbers.card, "--out", out]),
      tools.wiegandEncode(format, numbers, out));
  }
  const ids = Array.from({ length: 2000 }, () => digits(10, "0123456789ABCDEF")).join("\n") + "\n";
  compare("em --json", 2000, native(["em", "--json"], ids), tools.em(ids, "id", "", true));
  compare("em", 2000, native(["em"], ids), tools.em(ids, "id"));
  console.log(`${cases} cases, ${failures} differ`);
  process.exit(failures === 0 ? 0 : 1);
});
