// The core in WebAssembly, as the page and the tests under node use it: a
// form session (the translator's form, mirrored by the page) and the card
// tools (the command line's commands, answering exactly what they print).
"use strict";

(function (root) {
  // Each answer of the form is JSON; each command answers its status and
  // keeps its output and errors for the asking.
  class FormSession {
    constructor(module, clipboard) {
      this.call = (name, types, args) => module.ccall(name, "string", types, args);
      this.handle = module.ccall("proxcred_form_new", "number", ["string"], [clipboard]);
      this.module = module;
    }
    answer(name, types = [], args = []) {
      const answer = JSON.parse(this.call(name, ["number", ...types], [this.handle, ...args]));
      if (answer.error) throw new Error(answer.error);
      return answer;
    }
    start() { return this.answer("proxcred_form_start"); }
    everything() { return this.answer("proxcred_form_everything"); }
    edit(control, text) { return this.answer("proxcred_form_edit", ["string", "string"], [control, text]); }
    enter(control) { return this.answer("proxcred_form_enter", ["string"], [control]); }
    click(control, ctrl = false, shift = false) {
      return this.answer("proxcred_form_click", ["string", "number", "number"], [control, ctrl ? 1 : 0, shift ? 1 : 0]);
    }
    focus(control) { return this.answer("proxcred_form_focus", ["string"], [control]); }
    showPage(page) { return this.answer("proxcred_form_show_page", ["number"], [page]); }
    delete() { this.module.ccall("proxcred_form_delete", null, ["number"], [this.handle]); }
  }

  class CardTools {
    constructor(module) {
      this.module = module;
      this.handle = module.ccall("proxcred_tools_new", "number", [], []);
    }
    run(name, types, args) {
      const status = this.module.ccall(name, "number", ["number", ...types], [this.handle, ...args]);
      const text = (which) => this.module.ccall(which, "string", ["number"], [this.handle]);
      return { status, out: text("proxcred_tools_out"), err: text("proxcred_tools_err") };
    }
    // The refusal of a formats file's JSON, or "" when its formats were taken.
    setFormats(json) {
      return this.module.ccall("proxcred_tools_set_formats", "string", ["number", "string"], [this.handle, json]);
    }
    encode(key, facility, version, hotstamps) {
      return this.run("proxcred_tools_encode", ["string", "string", "string", "string"],
        [key, facility, version, hotstamps.join("\n")]);
    }
    split(input, json = false) {
      return this.run("proxcred_tools_split", ["string", "number"], [input, json ? 1 : 0]);
    }
    wiegandList(json = false) {
      return this.run("proxcred_tools_wiegand_list", ["number"], [json ? 1 : 0]);
    }
    // numbers: {facility, card, issue, oem}, those not given left out or "".
    wiegandEncode(format, numbers, outForm, json = false) {
      const n = (key) => numbers[key] ?? "";
      return this.run("proxcred_tools_wiegand_encode",
        ["string", "string", "string", "string", "string", "string", "number"],
        [format, n("facility"), n("card"), n("issue"), n("oem"), outForm, json ? 1 : 0]);
    }
    wiegandDecode(input, inForm, { bits = "", format = "", json = false } = {}) {
      return this.run("proxcred_tools_wiegand_decode",
        ["string", "string", "string", "string", "number"], [input, inForm, bits, format, json ? 1 : 0]);
    }
    wiegandIdentify(input, inForm, { bits = "", json = false } = {}) {
      return this.run("proxcred_tools_wiegand_identify", ["string", "string", "string", "number"],
        [input, inForm, bits, json ? 1 : 0]);
    }
    em(input, inForm, outForm = "", json = false) {
      return this.run("proxcred_tools_em", ["string", "string", "string", "number"],
        [input, inForm, outForm, json ? 1 : 0]);
    }
    delete() { this.module.ccall("proxcred_tools_delete", null, ["number"], [this.handle]); }
  }

  // Loads the module (ProxcredCore, from proxcred.js) once.
  async function loadProxcred(factory, options = {}) {
    const module = await factory(options);
    return {
      version: module.ccall("proxcred_version", "string", [], []),
      formSession: (clipboard = "") => new FormSession(module, clipboard),
      cardTools: () => new CardTools(module),
    };
  }

  if (typeof module === "object" && module.exports) module.exports = { loadProxcred };
  else root.loadProxcred = loadProxcred;
})(typeof self !== "undefined" ? self : this);
