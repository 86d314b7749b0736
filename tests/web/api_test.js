// The web app's face of the core under node: the form session as the page
// uses it (the form's own cascades, messages and refusals, answered as
// changes), and the card tools' own inputs (formats pasted as JSON, a
// Flipper key file as text).
// Usage: node api_test.js PROXCRED_JS CORE_JS
"use strict";
const assert = require("assert/strict");
const [proxcredJs, coreJs] = process.argv.slice(2);
const ProxcredCore = require(proxcredJs);
const { loadProxcred } = require(coreJs);

const checks = [];
const check = (name, run) => checks.push([name, run]);

check("the first answer holds every control, the next only what changed", (core) => {
  const form = core.formSession("FC=12;CF=26;ZELF=F");
  const first = form.start();
  assert.equal(first.focus, "txtBoxSerialNo");
  assert.equal(first.controls.txtFacilityCode.text, "12");
  assert.equal(first.controls.opt26Bit.value, true);
  assert.ok("txt26Num" in first.controls && "Label2" in first.controls);
  const typed = form.edit("txtBoxSerialNo", "12345");
  assert.equal(typed.controls.txtBoxProxData.text, "0000000406060163");
  assert.ok(!("Label2" in typed.controls), "an unchanged label is not answered again");
  assert.deepEqual(typed.events, []);
  form.delete();
});

check("a refusal is a message, and an overflow is caught as in the desktop programs", (core) => {
  const form = core.formSession("FC=12;CF=26;ZELF=F");
  form.start();
  assert.deepEqual(form.edit("txtBoxSerialNo", "70000").events.map((e) => e.text),
    ["Hotstamp 70000 is too large. 65535 is max."]);
  const overflow = form.edit("txtFacilityCode", "99999999999");
  assert.deepEqual(overflow.events.map((e) => [e.kind, e.text]), [["message", "6 Overflow"]]);
  form.delete();
});

check("the copy button writes the clipboard; an unknown control is refused", (core) => {
  const form = core.formSession("FC=1;CF=26;ZELF=F");
  form.start();
  form.edit("txtBoxSerialNo", "1");
  assert.deepEqual(form.click("cmdCopyToCB").events, [{ kind: "clipboard", text: "0000000600400002", title: "" }]);
  assert.throws(() => form.edit("txtNoSuchBox", "1"), /no control txtNoSuchBox/);
  form.delete();
});

check("formats pasted as JSON are refused with the reason, or used", (core) => {
  const tools = core.cardTools();
  assert.match(tools.setFormats("{\"formats\": [{\"name\": \"X\"}]}"), /bits/);
  const own = { formats: [{ name: "Own28", bits: 28, fields: { card: { start: 1, length: 26 } } }] };
  assert.equal(tools.setFormats(JSON.stringify(own)), "");
  assert.ok(JSON.parse(tools.wiegandList(true).out).some((format) => format.name === "Own28"));
  assert.equal(tools.setFormats(""), "");
  assert.ok(!JSON.parse(tools.wiegandList(true).out).some((format) => format.name === "Own28"));
  tools.delete();
});

check("a Flipper key file written is read back", (core) => {
  const tools = core.cardTools();
  const file = tools.wiegandEncode("H10301", { facility: "12", card: "345" }, "flipper");
  assert.equal(file.status, 0, file.err);
  const read = tools.wiegandDecode(file.out, "flipper", { json: true });
  assert.equal(read.status, 0, read.err);
  const match = JSON.parse(read.out).matches.find((m) => m.format === "H10301");
  assert.deepEqual([match.facility, match.card], [12, 345]);
  tools.delete();
});

check("a range of cards is encoded, and the site's format is told from their reads", (core) => {
  const tools = core.cardTools();
  const range = tools.wiegandEncode("H10301", { facility: "12", card: "100-102" }, "hex");
  assert.equal(range.status, 0, range.err);
  assert.deepEqual(range.out.trim().split("\n"), ["01800C8", "01800CB", "01800CD"]);
  const site = tools.wiegandIdentify(`${range.out}01800C8\n3FFFFFF\n`, "hex", { bits: "26", json: true });
  assert.equal(site.status, 0, site.err);
  const answer = JSON.parse(site.out);
  assert.deepEqual(answer.formats.map((f) => [f.format, f.facility, f.cards]),
    [["H10301", 12, [100, 101, 102]], ["ind26", 192, [100, 101, 102]]]);
  assert.deepEqual(answer.repeated.map((r) => [r.line, r.same_as]), [[4, 1]]);
  assert.deepEqual(answer.unfit.map((r) => [r.line, r.input]), [[5, "3FFFFFF"]]);
  const reversed = tools.wiegandEncode("H10301", { facility: "12", card: "102-100" }, "hex");
  assert.notEqual(reversed.status, 0);
  assert.equal(reversed.out, "");
  tools.delete();
});

loadProxcred(ProxcredCore).then((core) => {
  let failures = 0;
  for (const [name, run] of checks) {
    try {
      run(core);
    } catch (error) {
      failures++;
      console.log(`FAILED: ${name}: ${error.message}`);
    }
  }
  console.log(`${checks.length - failures} passed, ${failures} failed (core ${core.version})`);
  process.exit(failures === 0 ? 0 : 1);
});
