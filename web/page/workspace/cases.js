// The cases panel: quelvar-run --cases on the saved descriptor and its cases file, one row a case
// with its inputs, the registers expected, what the run left in them, and the verdict as
// quelvar-run words it. A row, chosen, becomes the form's data form, ready to step.
import { grade } from "./tools.js";
import { read, write } from "./files.js";
import { decode } from "./buffers.js";

const CASE_FOLDER = "/tmp/quelvar-case";

function verdictText(result) {
  if (result.pass) return "pass";
  const failure = result.outcome === "failure" ? result.message
    : result.outcome === "stalled" ? "the program stalled: a jump to line " + result.instructionIndex
    : result.outcome === "line-limit" ? "stopped at the line limit of " + result.linesExecuted + " lines"
    : result.mismatches.map((m) => `R${m.register} is ${m.actual}, expected ${m.expected}`).join(", ");
  return "FAIL: " + failure;
}

// The register's value after the run: a data-form register, or a scratch one (0 when unwritten).
const valueOf = (result, register) => register >= 1 && register <= result.registers.length
  ? result.registers[register - 1] : result.scratch[String(register)] ?? 0;

// Grades `descriptor` against `cases`: { rows, summary } or { error }.
export function gradeAll(descriptor, cases) {
  const { out, err } = grade(descriptor, cases);
  const documents = out.split("\n").filter((l) => l !== "").map((l) => JSON.parse(l));
  const totals = documents.find((d) => "cases" in d);
  if (!totals) return { error: err.trim() || "The cases could not be graded." };
  const lines = decode(read(cases)).text.split(/\r\n|\r|\n/);
  const rows = documents.filter((d) => "case" in d).map((result) => {
    const [inputs, expected = ""] = lines[result.line - 1].split("=>").map((s) => s.trim());
    const registers = [...expected.matchAll(/R(\d+)=/g)].map((m) => Number(m[1]));
    if (registers.length === 0) registers.push(1);
    const got = registers.map((r) => `R${r}=${valueOf(result, r)}`).join(" ");
    return { number: result.case, inputs, expected, got, pass: result.pass, verdict: verdictText(result) };
  });
  return { rows, summary: `${totals.passed}/${totals.cases} cases pass` };
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
