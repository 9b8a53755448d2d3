// The workspace beside the form: an editor for the loaded descriptor's files checked as typed,
// the page's files kept across reloads, downloaded as a zip or handed on by link, and the cases
// graded. It runs before quelvar.js starts: the files kept by an earlier visit are read from
// IndexedDB while the wasm loads, and written into the file system before the form starts.
import { Editor, ROLES, casesPath } from "./editor.js";
import * as files from "./files.js";
import { decode, descriptorLines, resolved } from "./buffers.js";
import { linkFor, filesOf } from "./share.js";
import { gradeAll, caseDescriptor } from "./cases.js";
import { buildPanel } from "./panel.js";

const $ = (id) => document.getElementById(id);
let kept = [];
let editor = null;

Module.preRun = [...(Module.preRun || []), () => {
  Module.addRunDependency("workspace");
  files.stored().then((found) => { kept = found; }, () => {})
    .finally(() => Module.removeRunDependency("workspace"));
}];
const startPage = Module.onRuntimeInitialized;
Module.onRuntimeInitialized = () => {
  files.takeBundled();
  for (const [path, bytes] of kept) files.write(path, bytes);
  startPage();
  start();
};

function say(text) { $("wsStatus").textContent = text; }
// Keeps the page's files in the browser; says so when it would not (a private window may refuse).
async function keep() {
  if (!await files.keep()) {
    box("This browser did not keep the page's files: they last until the page is closed. " +
        "Download keeps them on the computer.");
  }
}
function box(text) { QuelvarPage.showBox(document.title, text, true); }
function load(descriptor) { call("quelvar_load", descriptor); }

// The descriptor the form loaded last, as an absolute path, when it is a file of the page.
let startFolder = "/examples";
function loadedDescriptor() {
  const name = UTF8ToString(Module._quelvar_file_name());
  if (name === "") return "";
  const path = name.startsWith("/") ? name : files.joined(startFolder, name);
  return files.exists(path) && !path.startsWith("/tmp/") ? path : "";
}

function edit(path) {
  editor.open(path);
  $("wsPath").textContent = path;
  showRole(editor.shown);
  editor.relint();
}
function showRole(role) {
  editor.show(role);
  for (const tab of document.querySelectorAll(".wsTab")) {
    tab.setAttribute("aria-pressed", String(tab.dataset.role === role));
  }
}

function showFindings(findings) {
  const list = $("wsFindings");
  list.textContent = "";
  for (const { text } of findings) {
    const li = document.createElement("li");
    li.textContent = text;
    list.appendChild(li);
  }
}

// Asks before writing over a file of `entries` ([path, bytes]) that holds other bytes; true when
// they may be written.
async function mayWrite(entries, folder) {
  const same = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);
  const taken = entries.filter(([path, bytes]) => files.exists(path) && !same(files.read(path), bytes))
    .map(([path]) => files.baseName(path));
  if (taken.length === 0) return true;
  const focused = document.activeElement;
  const replace = await askReplace(taken.length === 1 ? `${taken[0]} is already in ${folder}. Replace it?`
      : `${taken.length} files are already in ${folder}: ${taken.join(", ")}. Replace them?`);
  focused?.focus();
  return replace;
}

// "New": a trio that runs, NAME.rm with NAME-data.txt and NAME-program.txt, in the folder of the
// descriptor edited, loaded into the form.
async function newTrio() {
  const name = $("wsNewName").value.trim().replace(/\.rm$/i, "");
  if (!/^[^/\0]+$/.test(name) || name === "." || name === "..") {
    box("A new program needs a name without a slash.");
    return;
  }
  const folder = editor.files ? files.folderOf(editor.path("descriptor")) : startFolder;
  const encoded = (lines) => new TextEncoder().encode(lines.join("\r\n") + "\r\n");
  const trio = [
    [`${name}.rm`, encoded([`${name}: R1 := R1 + R2`, `${name}-data.txt`, `${name}-program.txt`])],
    [`${name}-data.txt`, encoded(["3", "4", "0"])],
    [`${name}-program.txt`, encoded(["J(2,3,5)", "S(1)", "S(3)", "J(1,1,1)"])],
  ].map(([n, bytes]) => [files.joined(folder, n), bytes]);
  if (!await mayWrite(trio, folder)) return;
  for (const [path, bytes] of trio) files.write(path, bytes);
  await keep();
  load(trio[0][0]);
  edit(trio[0][0]);
  say(`${name}.rm written to ${folder} and loaded.`);
}

// "Saved" is said once the browser holds the files, so that a reload right after keeps them.
async function save() {
  const written = editor.save();
  $("wsPath").textContent = editor.path("descriptor");
  editor.relint();
  await keep();
  say(written.length === 0 ? "Nothing to save." : "Saved " + written.join(", ") + ".");
}

function download() {
  const url = URL.createObjectURL(new Blob([files.zipped()], { type: "application/zip" }));
  const a = document.createElement("a");
  a.href = url;
  a.download = "quelvar-files.zip";
  a.click();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

async function restore() {
  const changed = files.changedExamples();
  if (changed.length === 0) { say("The examples are as bundled."); return; }
  if (!await askReplace(`${changed.length} examples have changed: ${changed.map(files.baseName).join(", ")}. ` +
                        "Put them back as bundled?")) return;
  files.restoreExamples();
  await keep();
  if (editor.files) edit(editor.path("descriptor"));
  say("The examples are back as bundled.");
}

async function copyLink() {
  if (!editor.files) { say("Load or open a descriptor first."); return; }
  const names = descriptorLines(editor.text("descriptor"));
  if (![names.data, names.program].every((n) => /^[^/\0]+$/.test(n))) {
    box("A link carries files of one folder: the descriptor must name its data form and program " +
        "text without a folder.");
    return;
  }
  const entries = [[editor.files.descriptor.name, editor.bytes("descriptor")],
                   [names.data, editor.bytes("data")], [names.program, editor.bytes("program")]];
  if (editor.text("cases") !== "") entries.push([editor.files.cases.name, editor.bytes("cases")]);
  const link = linkFor(entries);
  history.replaceState(null, "", link);
  try {
    await navigator.clipboard.writeText(link);
    say(`Link copied (${link.length} characters); it is also in the address bar.`);
  } catch {
    say(`The link is in the address bar (${link.length} characters): copy it from there.`);
  }
}

// A link opened: its files are written into /links, none over another without asking, and its
// descriptor is loaded.
async function openLink() {
  const found = filesOf(location.hash);
  if (found === null) return;
  if (found instanceof Error) { box(found.message); return; }
  const folder = "/links";
  const paths = found.files.map(([name, bytes]) => [files.joined(folder, name), bytes]);
  const replace = await mayWrite(paths, folder);
  for (const [path, bytes] of paths) if (replace || !files.exists(path)) files.write(path, bytes);
  await keep();
  const descriptor = files.joined(folder, found.descriptor);
  load(descriptor);
  edit(descriptor);
  say(`Opened the link: ${found.files.map(([n]) => n).join(", ")} in ${folder}.`);
}

function check() {
  const descriptor = editor.path("descriptor");
  const cases = casesPath(descriptor);
  if (!descriptor || !files.exists(cases)) {
    $("wsSummary").textContent = `No cases file: save one as ${files.baseName(cases) || "NAME.cases"} first.`;
    $("wsVerdicts").hidden = true;
    return;
  }
  const { rows, summary, error } = gradeAll(descriptor, cases);
  $("wsSummary").textContent = error ?? summary;
  const body = $("wsVerdicts").querySelector("tbody");
  body.textContent = "";
  $("wsVerdicts").hidden = !rows;
  for (const row of rows ?? []) {
    const tr = document.createElement("tr");
    tr.className = row.pass ? "pass" : "fail";
    tr.tabIndex = 0;
    for (const cell of [row.name, row.inputs, row.expected, row.got, row.verdict]) {
      const td = document.createElement("td");
      td.textContent = cell;
      tr.appendChild(td);
    }
    const choose = () => loadCase(row);
    tr.addEventListener("click", choose);
    tr.addEventListener("keydown", (event) => { if (event.key === "Enter") choose(); });
    body.appendChild(tr);
  }
}

// The case's inputs become the data form of a descriptor of the same program, loaded.
function loadCase(row) {
  const descriptor = editor.path("descriptor");
  const names = descriptorLines(decode(files.read(descriptor)).text);
  load(caseDescriptor(resolved(descriptor, names.program), names.module, row.inputs));
  say(`${row.name} loaded: ${row.inputs}. Step it with Step Or Run and Next.`);
}

// Go to line count K: the form as Step Or Run and K presses of Next leave it. One step back is
// K - 1, run again from the start.
function goTo(k) {
  if (!Number.isSafeInteger(k) || k < 0) { say("A line count is a whole number from 0."); return; }
  const executed = Module._quelvar_go_to(k);
  $("wsGotoCount").value = String(executed);
  say(executed < k ? `The run stopped after ${executed} lines, the index at ${$("Label3").textContent}.`
                   : `${executed} lines executed; line ${$("Label3").textContent} is next.`);
}

function start() {
  const host = $("workspace");
  if (location.protocol === "file:") return;
  // Offline after one visit, where the browser allows it (over HTTPS, or on this computer).
  if ("serviceWorker" in navigator && window.isSecureContext) {
    navigator.serviceWorker.register("sw.js").catch(() => {});
  }
  startFolder = Module.FS.cwd();
  buildPanel(host, ROLES);
  host.hidden = false;
  editor = new Editor($("wsCode"), showFindings);
  for (const tab of document.querySelectorAll(".wsTab")) {
    tab.addEventListener("click", () => showRole(tab.dataset.role));
  }
  $("wsSave").addEventListener("click", save);
  $("wsEditLoaded").addEventListener("click", () => {
    const loaded = loadedDescriptor();
    if (loaded) edit(loaded); else say("The form has loaded no descriptor of the page's files.");
  });
  $("wsNew").addEventListener("click", newTrio);
  $("wsDownload").addEventListener("click", download);
  $("wsRestore").addEventListener("click", restore);
  $("wsCopyLink").addEventListener("click", copyLink);
  $("wsCheck").addEventListener("click", check);
  $("wsGotoButton").addEventListener("click", () => goTo(Number($("wsGotoCount").value)));
  $("wsGotoBack").addEventListener("click", () => goTo(Math.max(0, Number($("wsGotoCount").value) - 1)));
  // Keys typed in the workspace are its own; the function keys still reach the form.
  host.addEventListener("keydown", (event) => {
    if (!/^F\d+$/.test(event.key)) event.stopPropagation();
  });
  // The editor follows the form's loads while it holds no unsaved change.
  new MutationObserver(() => {
    if (!$("open").hidden) return;
    const loaded = loadedDescriptor();
    if (loaded && !editor.dirty() && loaded !== editor.path("descriptor")) edit(loaded);
  }).observe($("open"), { attributes: true, attributeFilter: ["hidden"] });
  const loaded = loadedDescriptor();
  edit(loaded || files.joined(startFolder, "multiply.rm"));
  openLink().finally(() => { document.body.dataset.workspace = "1"; });
}
