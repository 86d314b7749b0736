// The page: a third view of the translator's form (as the two desktop
// windows are), and the Wiegand tools. The form decides everything; the page
// sends it what the operator does and shows what it holds.
"use strict";

(function () {
  const $ = (id) => document.getElementById(id);
  const TRANSLATOR_PAGES = ["page-data", "page-split"];
  // The split results, one row per format: its name, and the boxes of its
  // number, facility code and version (the form's names; "" for none).
  const RESULT_ROWS = [
    ["lbl26Bit", "txt26Num", "txt26Fac", ""],
    ["Label6", "txt34Num", "txt34Fac", ""],
    ["lbl35Bit", "txt35Num", "txt35Fac", ""],
    ["lbl35X", "txt35XNum", "txt35XFac", ""],
    ["Label4", "txt36XNum", "txt36XFac", ""],
    ["Label5", "txt37XNum", "txt37XFac", ""],
    ["lbl37Bit", "txt37Num", "txt37Fac", ""],
    ["Label80", "txt37Number", "", ""],
    ["lblProxif", "txtProxifNum", "txtProxifFac", "txtProxifVer"],
    ["lblCasi", "txtCasiNum", "txtCasiFac", ""],
  ];
  const WIEGAND_FORMS = ["hex", "bin", "hid", "octal", "pacs", "fccn", "number", "flipper", "pm3"];
  const EM_FORMS = ["id", "dez8", "dez10", "dez5.5", "dez3.5a", "dez3.5b", "dez3.5c", "dez14", "w26"];

  let core = null;
  let session = null;
  let tools = null;  // made when the Wiegand page is first shown
  const captions = {};  // control name -> caption, as the form last said

  // ---- Messages: a dialog of the page's own, one at a time ----
  const queue = [];
  function showNext() {
    const dialog = $("message");
    if (dialog.open || queue.length === 0) return;
    const { title, text, returnTo } = queue.shift();
    $("message-title").textContent = title;
    $("message-text").textContent = text;
    dialog.returnTo = returnTo;
    dialog.showModal();
    $("message-ok").focus();
  }
  function message(text, title = "Proximity Credential Translator") {
    queue.push({ title, text, returnTo: document.activeElement });
    showNext();
  }
  $("message").addEventListener("close", () => {
    const back = $("message").returnTo;
    if (back && document.contains(back)) back.focus();
    showNext();
  });

  // ---- Copying ----
  async function copyText(text) {
    try {
      await navigator.clipboard.writeText(text);
      return;
    } catch (error) {
      // file:// and older browsers: the selection's way.
    }
    const area = document.createElement("textarea");
    area.value = text;
    area.setAttribute("readonly", "");
    area.className = "offscreen";
    document.body.append(area);
    area.select();
    document.execCommand("copy");
    area.remove();
  }
  function copyButton(label, text) {
    const button = document.createElement("button");
    button.type = "button";
    button.className = "copy";
    button.title = label;
    button.setAttribute("aria-label", label);
    button.addEventListener("click", () => copyText(typeof text === "function" ? text() : text));
    return button;
  }

  // ---- The form, mirrored ----
  const spoken = (caption) => caption.replace(/&(.)/g, "$1").replace(/[:\s]+$/, "");

  function mirrorControl(name, state) {
    if ("caption" in state) captions[name] = state.caption;
    const element = $(name);
    const caption = $(name + "-caption");
    if (caption && "caption" in state) caption.textContent = spoken(state.caption);
    if (!element) return;
    if (element.tagName === "INPUT" && (element.type === "radio" || element.type === "checkbox")) {
      element.checked = state.value === true || state.value === 1;
      element.indeterminate = state.value === 2;
    } else if (element.tagName === "INPUT") {
      if (element.value !== state.text) element.value = state.text;
      element.readOnly = state.readOnly;
      if (state.typingLimit > 0) element.maxLength = state.typingLimit;
      else element.removeAttribute("maxlength");
    } else if (element.classList.contains("instructions")) {
      element.textContent = state.text;
    } else if ("caption" in state && !caption && !element.classList.contains("copy")) {
      element.textContent = spoken(state.caption);
    }
    if (element.matches("input, button, select, textarea")) element.disabled = !state.usable;
  }

  let modelFocus = "";  // where the form last put the focus

  // keepFocus: the operator is on the page's tabs, where the keyboard stays.
  function apply(update, { keepFocus = false } = {}) {
    for (const [name, state] of Object.entries(update.controls)) mirrorControl(name, state);
    for (const event of update.events) {
      if (event.kind === "message") message(event.text, event.title);
      else if (event.kind === "clipboard") copyText(event.text);
    }
    // The form turns its own pages; the Wiegand page is the page's own.
    const page = TRANSLATOR_PAGES[update.page];
    if (page && currentPage() !== page && currentPage() !== "page-wiegand") showPage(page);
    // The form moved the focus: the page follows, as the windows do.
    if (update.focus === modelFocus) return;
    modelFocus = update.focus;
    const focused = $(update.focus);
    if (!keepFocus && focused && document.activeElement !== focused && !$("message").open &&
        focused.offsetParent !== null) {
      focused.focus();
    }
  }

  function wireForm() {
    for (const input of document.querySelectorAll("#page-data input:not([type]), #page-split input")) {
      input.addEventListener("input", () => {
        const at = input.selectionStart;
        const typed = input.value;
        apply(session.edit(input.id, typed));
        // A refused key leaves the text as it was: the caret stays put.
        if (input.value !== typed && at !== null) {
          const back = Math.max(0, Math.min(input.value.length, at - (typed.length - input.value.length)));
          input.setSelectionRange(back, back);
        }
      });
      input.addEventListener("keydown", (event) => {
        if (event.key === "Enter") {
          event.preventDefault();
          apply(session.enter(input.id));
        }
      });
    }
    for (const element of document.querySelectorAll(
      "#page-data input, #page-data button, #page-split input, #page-split button")) {
      element.addEventListener("focus", () => apply(session.focus(element.id)));
    }
    for (const element of document.querySelectorAll(
      "#page-data input[type], #page-data button, #page-split button")) {
      element.addEventListener("click", (event) => {
        apply(session.click(element.id, event.ctrlKey, event.shiftKey));
      });
    }
  }

  function buildResultTable() {
    const body = $("results").tBodies[0];
    for (const [header, ...boxes] of RESULT_ROWS) {
      const row = body.insertRow();
      const th = document.createElement("th");
      th.scope = "row";
      th.id = header;
      row.append(th);
      boxes.forEach((box, column) => {
        const cell = row.insertCell();
        if (!box) return;
        const output = document.createElement("input");
        output.id = box;
        output.readOnly = true;
        output.tabIndex = -1;
        output.setAttribute("aria-labelledby", header + " " + ["Label40", "Label50", "Label3"][column]);
        cell.append(output);
        cell.append(copyButton(`Copy ${th.id}`, () => output.value));
      });
    }
  }

  // Each copy button of the table names what it copies, once the captions are known.
  function nameCopyButtons() {
    for (const [header, ...boxes] of RESULT_ROWS) {
      boxes.forEach((box, column) => {
        if (!box) return;
        const button = $(box).nextElementSibling;
        const label = `Copy ${spoken(captions[header] || header)}, ${spoken(captions[["Label40", "Label50", "Label3"][column]] || "")}`;
        button.setAttribute("aria-label", label);
        button.title = label;
      });
    }
  }

  // ---- Pages ----
  const tabs = () => [...document.querySelectorAll('[role="tab"]')];
  const currentPage = () => tabs().find((tab) => tab.getAttribute("aria-selected") === "true").getAttribute("aria-controls");

  function showPage(page) {
    for (const tab of tabs()) {
      const selected = tab.getAttribute("aria-controls") === page;
      tab.setAttribute("aria-selected", String(selected));
      tab.tabIndex = selected ? 0 : -1;
      $(tab.getAttribute("aria-controls")).hidden = !selected;
    }
  }

  function wireTabs() {
    tabs().forEach((tab, index) => {
      tab.addEventListener("click", () => choosePage(tab.getAttribute("aria-controls")));
      tab.addEventListener("keydown", (event) => {
        const step = { ArrowRight: 1, ArrowLeft: -1, Home: -index, End: tabs().length - 1 - index }[event.key];
        if (step === undefined) return;
        event.preventDefault();
        const next = tabs()[(index + step + tabs().length) % tabs().length];
        next.focus();
        choosePage(next.getAttribute("aria-controls"));
      });
    });
  }

  function choosePage(page) {
    showPage(page);
    if (page === "page-wiegand") startWiegand();
    const translatorPage = TRANSLATOR_PAGES.indexOf(page);
    if (translatorPage >= 0) apply(session.showPage(translatorPage), { keepFocus: true });
  }

  // ---- The Wiegand tools: the command line's answers, as JSON ----
  function options(select, names) {
    for (const name of names) select.add(new Option(name, name));
  }

  function jsonLines(text) {
    return text.split("\n").filter((line) => line.trim() !== "").map((line) => JSON.parse(line));
  }

  function problem(container, result) {
    const note = document.createElement("p");
    note.className = "problem";
    note.textContent = result.err.trim().replace(/^proxcred-cli: /gm, "");
    container.append(note);
  }

  const NUMBER_NAMES = { facility: "facility code", card: "card number", issue: "issue level", oem: "OEM code" };

  function decodeRows(reading) {
    const list = document.createElement("ol");
    list.className = "matches";
    for (const match of reading.matches) {
      const item = document.createElement("li");
      const numbers = Object.keys(NUMBER_NAMES).filter((key) => key in match)
        .map((key) => `${NUMBER_NAMES[key]} ${match[key]}`).join(", ");
      const title = document.createElement("strong");
      title.textContent = match.format;
      item.append(title, ` ${match.description}: ${numbers} (${match.bits} bits, parity ${match.parity}) `);
      item.append(copyButton(`Copy ${match.format} numbers`, numbers));
      list.append(item);
    }
    return list;
  }

  async function decode(event) {
    event.preventDefault();
    const results = $("decode-results");
    results.replaceChildren();
    const file = $("decode-file").files[0];
    const input = file ? await file.text() : $("decode-value").value;
    const form = file ? "flipper" : $("decode-form").value;
    const result = tools.wiegandDecode(input, form, { bits: $("decode-bits").value.trim(), json: true });
    for (const reading of jsonLines(result.out)) {
      const heading = document.createElement("h3");
      heading.textContent = reading.error ? `${reading.input}: ${reading.error}` : reading.input;
      results.append(heading);
      if (reading.matches) {
        if (reading.matches.length === 0) results.append("No format fits.");
        results.append(decodeRows(reading));
      }
    }
    if (result.status !== 0 && result.out === "") problem(results, result);
  }

  function download(name, text) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], { type: "text/plain" }));
    link.download = name;
    link.textContent = `Download ${name}`;
    return link;
  }

  function encode(event) {
    event.preventDefault();
    const results = $("encode-results");
    results.replaceChildren();
    const format = $("encode-format").value;
    const out = $("encode-out").value;
    const numbers = {};
    for (const key of Object.keys(NUMBER_NAMES)) numbers[key] = $(`encode-${key}`).value.trim();
    const result = tools.wiegandEncode(format, numbers, out, out !== "flipper" && out !== "pm3");
    if (result.status !== 0) problem(results, result);
    if (out === "flipper" || out === "pm3") {
      if (result.status !== 0) return;
      const text = document.createElement("pre");
      text.textContent = result.out;
      results.append(text, copyButton(`Copy the ${out} text`, result.out));
      if (out === "flipper") results.append(" ", download(`${format}.rfid`, result.out));
      return;
    }
    const list = document.createElement("ul");
    list.className = "matches";
    for (const card of jsonLines(result.out)) {
      const item = document.createElement("li");
      const title = document.createElement("strong");
      title.textContent = card.format;
      item.append(title, ` ${card[out]} `, copyButton(`Copy ${card.format} ${out}`, card[out]));
      list.append(item);
    }
    results.append(list);
  }

  function identify(event) {
    event.preventDefault();
    const results = $("identify-results");
    results.replaceChildren();
    const result = tools.wiegandIdentify($("identify-reads").value, $("identify-form").value,
      { bits: $("identify-bits").value.trim(), json: true });
    if (result.out === "") return problem(results, result);
    const site = JSON.parse(result.out);
    const notes = document.createElement("ul");
    for (const read of site.repeated) notes.append(item(`Line ${read.line}: the same card as line ${read.same_as}.`));
    for (const read of site.unfit) notes.append(item(`Line ${read.line}: ${read.input} fits no format whose parity it passes (left out).`));
    if (site.formats.length === 0) notes.append(item(`No format fits all ${site.cards} cards.`));
    const list = document.createElement("ol");
    list.className = "matches";
    for (const format of site.formats) {
      const groups = format.groups ?? [{ facility: format.facility, cards: format.cards }];
      const text = groups.map((g) => `${g.facility === null ? "" : `facility code ${g.facility}: `}cards ${g.cards.join(", ")}`);
      const entry = item(` ${format.description} (${format.bits} bits, parity ${format.parity}): ` +
        (groups.length > 1 ? `${groups.length} facility codes, not one. ` : "") + text.join("; "));
      const title = document.createElement("strong");
      title.textContent = format.format;
      entry.prepend(title);
      list.append(entry);
    }
    results.append(notes, list);
    if (result.status !== 0) problem(results, result);
  }

  function item(text) {
    const entry = document.createElement("li");
    entry.textContent = text;
    return entry;
  }

  function em(event) {
    event.preventDefault();
    const results = $("em-results");
    results.replaceChildren();
    const result = tools.em($("em-value").value, $("em-form").value, "", true);
    if (result.status !== 0 && result.out === "") return problem(results, result);
    for (const id of jsonLines(result.out)) {
      const table = document.createElement("table");
      table.createCaption().textContent = `EM4100 ID ${id.id}`;
      for (const [form, text] of Object.entries(id.forms)) {
        const row = table.insertRow();
        const th = document.createElement("th");
        th.scope = "row";
        th.textContent = form;
        row.append(th);
        const cell = row.insertCell();
        cell.textContent = text ?? "not known";
        if (text) cell.append(" ", copyButton(`Copy ${form}`, text));
      }
      results.append(table);
    }
    if (result.status !== 0) problem(results, result);
  }

  function fillFormatList() {
    const select = $("encode-format");
    const chosen = select.value;
    select.replaceChildren(new Option("Every format that holds the numbers", ""));
    for (const format of JSON.parse(tools.wiegandList(true).out)) {
      select.add(new Option(`${format.name}: ${format.description}`, format.name));
    }
    select.value = chosen;
  }

  function useFormats(event) {
    event.preventDefault();
    const refusal = tools.setFormats($("formats-json").value);
    $("formats-status").textContent = refusal === "" ? "The formats are in use." : `Not used: ${refusal}`;
    if (refusal === "") fillFormatList();
  }

  // The Wiegand tools load their formats when the page is first shown: the
  // translator is ready for input sooner.
  function startWiegand() {
    if (tools) return;
    tools = core.cardTools();
    options($("decode-form"), WIEGAND_FORMS.filter((form) => form !== "pm3" && form !== "flipper"));
    options($("identify-form"), WIEGAND_FORMS.filter((form) => form !== "pm3" && form !== "flipper"));
    options($("encode-out"), WIEGAND_FORMS);
    options($("em-form"), EM_FORMS);
    fillFormatList();
    $("decode").addEventListener("submit", decode);
    $("encode").addEventListener("submit", encode);
    $("em").addEventListener("submit", em);
    $("identify").addEventListener("submit", identify);
    $("formats").addEventListener("submit", useFormats);
  }

  // ---- Start ----
  async function start() {
    performance.mark("script");
    core = await loadProxcred(ProxcredCore);
    performance.mark("core");
    $("version").textContent = `version ${core.version}`;
    // A host may pass its preset as the address's fragment: #FC=12;CF=26;ZELF=F.
    session = core.formSession(decodeURIComponent(location.hash.slice(1)));
    performance.mark("session");
    buildResultTable();
    wireForm();
    wireTabs();
    $("loading").remove();
    showPage("page-data");
    apply(session.start());
    nameCopyButtons();
    document.body.dataset.readyMs = String(Math.round(performance.now()));
    document.body.dataset.ready = "true";
  }

  if ("serviceWorker" in navigator && location.protocol.startsWith("http") && !window.PROXCRED_SINGLE_FILE) {
    navigator.serviceWorker.register("sw.js");
  }
  start().catch((error) => {
    $("loading").textContent = `The translator could not start: ${error.message}`;
  });
})();
