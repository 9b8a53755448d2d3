// What a program of many lines costs the page, in Debian's Chromium: Load (through the Open
// dialog), Step Or Run and Run It of LINES lines of "Z(1)", each ROUNDS times. For each command,
// the median of: its wall time in the page, the time until the page has drawn after it, and over
// both, the time the page's main thread was busy (the DevTools Performance domain's TaskDuration)
// and the CPU time of the renderer processes (SystemInfo, in steps of 10 ms), which a busy
// machine does not inflate.
//   node load.bench.mjs PAGE_FOLDER [LINES=10000000] [ROUNDS=3]
// Any build of the page can be measured, so that two builds can be compared side by side.
import path from "node:path";
import { serve, launch, open } from "./serve.mjs";

const folder = path.resolve(process.argv[2]);
const lines = Number(process.argv[3] || 10000000);
const rounds = Number(process.argv[4] || 3);
const { server, base } = await serve(folder);
const browser = await launch();
try {
  const page = await open(browser, base);
  await page.evaluate((n) => {
    const line = new TextEncoder().encode("Z(1)\r\n");
    const bytes = new Uint8Array(line.length * n);
    bytes.set(line);
    for (let filled = line.length; filled < bytes.length; filled *= 2) {
      bytes.copyWithin(filled, 0, Math.min(filled, bytes.length - filled));
    }
    Module.FS.writeFile("/examples/long-program.txt", bytes);
    Module.FS.writeFile("/examples/long.rm",
                        "A long program\r\nadd-data.txt\r\nlong-program.txt\r\n");
  }, lines);
  const session = await page.createCDPSession();
  await session.send("Performance.enable");
  const busy = async () => (await session.send("Performance.getMetrics")).metrics
      .find((m) => m.name === "TaskDuration").value * 1000;
  const system = await browser.target().createCDPSession();
  const cpu = async () => (await system.send("SystemInfo.getProcessInfo")).processInfo
      .filter((p) => p.type === "renderer").reduce((sum, p) => sum + p.cpuTime * 1000, 0);

  // Clicks `selector` (after `before`, untimed) and times it in the page.
  const timed = async (selector, before) => {
    if (before) await page.evaluate(before);
    const busy0 = await busy(), cpu0 = await cpu();
    const [command, drawn] = await page.evaluate(async (s) => {
      const t0 = performance.now();
      document.querySelector(s).click();
      const t1 = performance.now();
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
      return [t1 - t0, performance.now() - t0];
    }, selector);
    return { command, drawn, busy: (await busy()) - busy0, cpu: (await cpu()) - cpu0 };
  };
  const results = { "Load": [], "Step Or Run": [], "Run It": [] };
  for (let round = 0; round < rounds; ++round) {
    results["Load"].push(await timed("#openOk", () => {
      document.getElementById("Button6").click();
      document.getElementById("openName").value = "long.rm";
    }));
    results["Step Or Run"].push(await timed("#Button7"));
    results["Run It"].push(await timed("#Button4"));
    // Halt, and Pause It, so that no tick runs in the next round's Step Or Run.
    await page.evaluate(() => {
      document.getElementById("Button5").click();
      document.getElementById("Button9").click();
    });
  }
  console.log(`${folder}: ${lines} lines, ${rounds} rounds; median ms`);
  const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
  for (const [name, runs] of Object.entries(results)) {
    const column = (key) => median(runs.map((r) => r[key])).toFixed(0).padStart(6);
    console.log(`${name.padEnd(12)} command ${column("command")}  until drawn ${column("drawn")}` +
                `  main thread busy ${column("busy")}  renderer CPU ${column("cpu")}`);
  }
} finally {
  await browser.close();
  server.close();
}
