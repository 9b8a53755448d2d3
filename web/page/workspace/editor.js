// The editor panel: the descriptor's three files and its cases file, each in CodeMirror with line
// numbers that are the program list's, the program's Z, S, T and J coloured, and the findings of
// quelvar-run --check on the text as typed, at their lines. Save writes the page's files, which
// Load and Run It then read as they read any file.
import { EditorState } from "@codemirror/state";
import { EditorView, lineNumbers, highlightActiveLine, keymap } from "@codemirror/view";
import { defaultKeymap, history, historyKeymap } from "@codemirror/commands";
import { linter, lintGutter, forceLinting } from "@codemirror/lint";
import { programLanguage } from "./language.js";
import { openFile, encode, descriptorLines, resolved } from "./buffers.js";
import { write, baseName, exists } from "./files.js";
import { check } from "./tools.js";

export const ROLES = [
  { role: "descriptor", label: "Descriptor" },
  { role: "data", label: "Data form" },
  { role: "program", label: "Program" },
  { role: "cases", label: "Cases" },
];
const SCRATCH = "/tmp/quelvar-check";

// The descriptor's cases file: NAME.cases beside NAME.rm.
export const casesPath = (descriptor) => descriptor.replace(/(\.rm)?$/i, ".cases");

export class Editor {
  constructor(host, onFindings) {
    this.onFindings = onFindings;
    this.files = null;  // role -> { path, name, state, saved, ...file }
    this.shown = "program";
    this.view = new EditorView({ parent: host });
  }

  // Opens the descriptor at `path` (absolute) and the files it names, and its cases file.
  open(path) {
    const descriptor = openFile(path);
    const names = descriptorLines(descriptor.text);
    const files = { descriptor: { ...descriptor, name: baseName(path) } };
    files.data = { ...openFile(resolved(path, names.data)), name: names.data };
    files.program = { ...openFile(resolved(path, names.program)), name: names.program };
    files.cases = { ...openFile(casesPath(path)), name: baseName(casesPath(path)) };
    for (const role in files) {
      files[role].state = this.stateFor(role, files[role].text);
      files[role].saved = files[role].state.doc.toString();  // its lines end in LF, as typed ones
    }
    this.files = files;
    this.view.setState(files[this.shown].state);
  }

  stateFor(role, text) {
    const label = ROLES.find((r) => r.role === role).label;
    return EditorState.create({
      doc: text,
      extensions: [
        lineNumbers(),
        highlightActiveLine(),
        history(),
        keymap.of([...defaultKeymap, ...historyKeymap]),
        EditorView.contentAttributes.of({ "aria-label": label + " text" }),
        role === "program" ? programLanguage : [],
        role === "cases" ? [] : [lintGutter(), linter((view) => this.lint(role, view), { delay: 250 })],
      ],
    });
  }

  show(role) {
    if (this.files) {
      this.files[this.shown].state = this.view.state;
      this.view.setState(this.files[role].state);
    }
    this.shown = role;
  }

  text(role) {
    if (role === this.shown) this.files[role].state = this.view.state;
    return this.files[role].state.doc.toString();
  }
  bytes(role) { return encode(this.files[role], this.text(role)); }
  path(role) { return this.files?.[role].path ?? ""; }
  dirty() {
    return this.files !== null && ROLES.some(({ role }) => this.text(role) !== this.files[role].saved);
  }

  // Writes every changed file, and a cases file only once it holds something. The descriptor's
  // names may have changed: its files are opened again from their new places.
  save() {
    const written = [];
    for (const { role } of ROLES) {
      const file = this.files[role];
      const text = this.text(role);
      if (!file.path || (text === file.saved && exists(file.path))) continue;
      if (role === "cases" && text === "" && !exists(file.path)) continue;
      write(file.path, this.bytes(role));
      file.saved = text;
      written.push(file.path);
    }
    const names = descriptorLines(this.text("descriptor"));
    if (names.data !== this.files.data.name || names.program !== this.files.program.name) {
      this.open(this.files.descriptor.path);
    }
    return written;
  }

  // quelvar-run --check on the text as typed: the three files are written to a folder of their
  // own under the names the descriptor gives them, and the messages name them as the descriptor
  // does. The findings of every file go to the list; those of `role` to its lines.
  lint(role, view) {
    if (!this.files) return [];
    const findings = this.check();
    this.onFindings(findings);
    return findings.filter((f) => f.role === role && f.line !== null).map((f) => {
      const line = view.state.doc.line(Math.min(Math.max(f.line, 1), view.state.doc.lines));
      return { from: line.from, to: line.to, severity: "warning", message: f.text };
    });
  }

  check() {
    const names = descriptorLines(this.text("descriptor"));
    const places = { data: SCRATCH + "/data/" + baseName(names.data || "data"),
                     program: SCRATCH + "/program/" + baseName(names.program || "program"),
                     descriptor: SCRATCH + "/" + this.files.descriptor.name };
    const end = this.files.descriptor.lineEnd;
    write(places.data, this.bytes("data"));
    write(places.program, this.bytes("program"));
    write(places.descriptor, new TextEncoder().encode(
        [names.module, names.data && places.data, names.program && places.program, ""].join(end)));
    const shown = { descriptor: this.files.descriptor.name, data: names.data, program: names.program };
    const { out, err } = check(places.descriptor);
    const findings = [];
    for (const text of out.split("\n").filter((l) => l !== "")) {
      const role = ["data", "program", "descriptor"].find((r) => text.startsWith(places[r] + ":"));
      if (!role) { findings.push({ role: "descriptor", line: null, text }); continue; }
      const rest = text.slice(places[role].length);
      const at = /^:(\d+): /.exec(rest);
      findings.push({ role, line: at ? Number(at[1]) : 1,
                      text: shown[role] + rest });
    }
    for (const text of err.split("\n").filter((l) => l !== "")) {
      let shownText = text;
      for (const r of ["data", "program", "descriptor"]) shownText = shownText.split(places[r]).join(shown[r]);
      findings.push({ role: "descriptor", line: null, text: shownText });
    }
    return findings;
  }

  relint() { forceLinting(this.view); }
}
