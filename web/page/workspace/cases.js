// The cases panel: quelvar-run --cases on the saved descriptor and its cases file, one row a case
// with its inputs, the registers expected, what the run left in them, and the verdict as
// quelvar-run words it. A row, chosen, becomes the form's data form, ready to step.
import { grade } from "./tools.js";
import { read, write } from "./files.js";
import { decode } from "./buffers.js";

const CASE_FOLDER = "/tmp/quelvar-case";

// The case's inputs as its line writes them, after any name.
function inputsText(line, result) {
  const inputs = line.split("=>")[0];
  const named = result.name !== `case ${result.case}`;
  return (named ? inputs.slice(inputs.indexOf(":") + 1) : inputs).trim();
}

// Grades `descriptor` against `cases`: { rows, summary } or { error }. quelvar-run's JSON is one
// document, with a result a case and the totals.
export function gradeAll(descriptor, cases) {
  const { out, err } = grade(descriptor, cases);
  let document = null;
  try { document = JSON.parse(out); } catch { document = null; }
  if (!document || !Array.isArray(document.cases)) {
    return { error: err.trim() || "The cases could not be graded." };
  }
  const lines = decode(read(cases)).text.split(/\r\n|\r|\n/);
  const rows = document.cases.map((result) => {
    const line = lines[result.line - 1];
    const inputs = inputsText(line, result);
    const expected = line.split("=>")[1].trim();
    const got = Object.entries(result.got).map(([r, v]) => `${r}=${v}`).join(" ");
    const wrap = result.wrapped ? " (a register wrapped from 32767 to -32768)" : "";
    const verdict = (result.pass ? "pass" : `FAIL: ${inputs} => ${result.verdict}`) + wrap;
    return { name: result.name, inputs, expected, got, pass: result.pass, verdict };
  });
  // As quelvar-run's text says it: the points only where the cases give their own.
  const points = document.maxPoints !== document.total
    ? `, ${document.points}/${document.maxPoints} points` : "";
  return { rows, summary: `${document.passed}/${document.total} cases pass${points}` };
}

// A descriptor of the module's program over the case's inputs, in a folder of its own; the
// descriptor's own files stay as they are.
export function caseDescriptor(program, module, inputs) {
  const data = CASE_FOLDER + "/registers.txt";
  write(data, new TextEncoder().encode(inputs.split(",").join("\r")));
  const path = CASE_FOLDER + "/case.rm";
  write(path, new TextEncoder().encode([module, data, program, ""].join("\r\n")));
  return path;
}
