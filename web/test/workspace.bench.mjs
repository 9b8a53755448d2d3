// The workspace's costs, in Debian's Chromium: the decoded engine compiled to wasm grading
// multiplication of 2000 by 2000 (16,010,002 lines a case), side by side with the native
// quelvar-run on the same cases file in the same job; the page's files, raw and gzipped; and the
// warm start-up time (a reload, from the browser's cache, until the workspace is ready).
//   node workspace.bench.mjs PAGE_FOLDER QUELVAR_RUN EXAMPLES_FOLDER [CASES=5] [ROUNDS=3]
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { serve, launch } from "./serve.mjs";

const [folder, quelvarRun, examples] = process.argv.slice(2, 5).map((a) => path.resolve(a));
const cases = Number(process.argv[5] || 5);
const rounds = Number(process.argv[6] || 3);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
// 2000 * 2000 = 4,000,000, held in 16 bits as 2304.
const casesText = "2000,2000,0,0,0 => 2304\n".repeat(cases);

// Native: quelvar-run --cases, the CPU time of the whole process (user and system, as bash's time
// says it), which a busy machine does not inflate, and its wall time.
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "quelvar-workspace-bench-"));
for (const name of ["multiply.rm", "multiply-data.txt", "multiply-program.txt"]) {
  fs.copyFileSync(path.join(examples, name), path.join(scratch, name));
}
fs.writeFileSync(path.join(scratch, "bench.cases"), casesText);
const nativeTimes = [], nativeCpu = [];
for (let r = 0; r < rounds; ++r) {
  const start = process.hrtime.bigint();
  const { stderr, status } = spawnSync("bash", ["-c",
      'TIMEFORMAT="%3U %3S"; time "$0" --cases bench.cases multiply.rm > /dev/null', quelvarRun],
      { cwd: scratch, encoding: "utf8" });
  if (status !== 0) throw new Error(`${quelvarRun} failed (${status}): ${stderr}`);
  nativeTimes.push(Number(process.hrtime.bigint() - start) / 1e6);
  const [user, system] = stderr.trim().split("\n").pop().split(" ").map(Number);
  nativeCpu.push((user + system) * 1000);
}
fs.rmSync(scratch, { recursive: true });

const { server, base } = await serve(folder);
const browser = await launch();
try {
  const page = await browser.newPage();
  await page.goto(base);
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  // The renderers' CPU time, in steps of 10 ms, beside the wall time in the page.
  const system = await browser.target().createCDPSession();
  const cpu = async () => (await system.send("SystemInfo.getProcessInfo")).processInfo
      .filter((p) => p.type === "renderer").reduce((sum, p) => sum + p.cpuTime * 1000, 0);
  await page.evaluate((text) => Module.FS.writeFile("/examples/bench.cases", text), casesText);
  const wasmTimes = [], wasmCpu = [];
  let lines = 0;
  for (let r = 0; r < rounds; ++r) {
    const before = await cpu();
    const run = await page.evaluate(() => {
      let lines = 0;
      const reply = QuelvarWorkspace.reply;
      QuelvarWorkspace.reply = (out) => {
        lines = out.split("\n").filter((l) => l.includes('"case"'))
          .reduce((sum, l) => sum + JSON.parse(l).linesExecuted, 0);
      };
      const start = performance.now();
      withText("/examples/multiply.rm", (d, ds) => withText("/examples/bench.cases",
          (c, cs) => Module._quelvar_grade(d, ds, c, cs)));
      const time = performance.now() - start;
      QuelvarWorkspace.reply = reply;
      return { time, lines };
    });
    wasmCpu.push((await cpu()) - before);
    wasmTimes.push(run.time);
    lines = run.lines;
    if (lines !== cases * 16010002) throw new Error(`the page ran ${lines} lines`);
  }
  const rate = (ms) => (lines / (ms / 1000) / 1e6).toFixed(0) + " M lines/s";
  const line = (what, wall, cpuMs) => console.log(`  ${what}: wall ${wall.toFixed(1)} ms (${rate(wall)}), ` +
                                                `CPU ${cpuMs.toFixed(0)} ms (${rate(cpuMs)})`);
  console.log(`multiplication, ${cases} cases of 2000 by 2000, ${lines} lines, median of ${rounds}:`);
  line("wasm in the page  ", median(wasmTimes), median(wasmCpu));
  line("native quelvar-run", median(nativeTimes), median(nativeCpu));
  console.log(`  wasm's rate / native's, by CPU time: ${(median(nativeCpu) / median(wasmCpu)).toFixed(2)}`);

  const kinds = { JS: ["page.js", "quelvar.js", "workspace.js", "sw.js"], wasm: ["quelvar.wasm"],
                  data: ["quelvar.data"], "HTML and CSS": ["index.html", "quelvar.css", "workspace.css"] };
  for (const [kind, names] of Object.entries(kinds)) {
    const bytes = names.map((n) => fs.readFileSync(path.join(folder, n)));
    const raw = bytes.reduce((s, b) => s + b.length, 0);
    const gzipped = bytes.reduce((s, b) => s + zlib.gzipSync(b, { level: 9 }).length, 0);
    console.log(`${kind}: ${(raw / 1024).toFixed(1)} KB, gzipped ${(gzipped / 1024).toFixed(1)} KB`);
  }

  const starts = [];
  for (let r = 0; r < rounds; ++r) {
    const start = Date.now();
    await page.reload();
    await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
    starts.push(Date.now() - start);
  }
  console.log(`warm start-up (reload until the workspace is ready): median ${median(starts)} ms of ${starts.join(", ")}`);
} finally {
  await browser.close();
  server.close();
}
