// The workspace beside the form, in Debian's Chromium driven by puppeteer-core: a mistake typed in
// the editor shows quelvar-run --check's finding at its line; Save then Run It runs the edited
// program; Download zips the files; New writes a trio that runs; the files outlive a reload; a
// link round-trips the files and loads them, and one that cannot be read says so; the editor
// follows the form's loads; the cases panel's verdicts are quelvar-run --cases's on every example,
// and a case chosen loads its inputs; going to line count K is K presses of Next; the panels stand
// beside the form or under it, and axe-core finds nothing in them; after one visit the page
// starts offline.
//   node workspace.test.mjs PAGE_FOLDER QUELVAR_RUN EXAMPLES_FOLDER
// Prints "N passed, M failed" last; exits non-zero on any failure.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import zlib from "node:zlib";
import { serve, launch, rowsReading } from "./serve.mjs";

const [folder, quelvarRun, examples] = process.argv.slice(2).map((a) => path.resolve(a));
const { server, base } = await serve(folder);
const browser = await launch();

let passed = 0, failed = 0;
function check(what, ok, detail) {
  if (ok) { ++passed; } else { ++failed; console.log(`FAIL: ${what}${detail ? ": " + detail : ""}`); }
}

const scriptErrors = [];
// Each part in a browser context of its own: its IndexedDB starts empty.
async function open(query, context) {
  const page = await (context ?? await browser.createBrowserContext()).newPage();
  page.on("pageerror", (error) => scriptErrors.push(`${query.slice(0, 60)}: ${error.message}`));
  await page.goto(base + query);
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  return page;
}
const text = (page, selector) => page.$eval(selector, (el) => el.textContent);
const rows = (page, list) => page.$$eval(`#${list} .row`, (els) => els.map((e) => e.textContent));
const readFile = (page, name) => page.evaluate((n) =>
  Module.FS.analyzePath(n).exists ? Module.FS.readFile(n, { encoding: "utf8" }) : null, name);
const until = (page, test, ...args) => page.waitForFunction(test, { timeout: 30000 }, ...args);
const findings = (page) => page.$$eval("#wsFindings li", (els) => els.map((e) => e.textContent));
// The editor's text replaced as a user would: select all, then type.
async function typeInEditor(page, role, typed) {
  await page.click(`.wsTab[data-role="${role}"]`);
  await page.click("#wsCode .cm-content");
  await page.keyboard.down("Control");
  await page.keyboard.press("a");
  await page.keyboard.up("Control");
  await page.keyboard.press("Backspace");
  await page.keyboard.type(typed);
}
// A zip's files by name, read from their local headers.
function unzipped(zip) {
  const files = new Map();
  for (let at = 0; zip.readUInt32LE(at) === 0x04034b50;) {
    const method = zip.readUInt16LE(at + 8), size = zip.readUInt32LE(at + 18);
    const nameLength = zip.readUInt16LE(at + 26), extra = zip.readUInt16LE(at + 28);
    const name = zip.toString("utf8", at + 30, at + 30 + nameLength);
    const data = zip.subarray(at + 30 + nameLength + extra, at + 30 + nameLength + extra + size);
    files.set(name, (method === 8 ? zlib.inflateRawSync(data) : data).toString("latin1"));
    at += 30 + nameLength + extra + size;
  }
  return files;
}
// Save, until the page says the browser holds the files (up to 60 s on a busy machine). A Save
// that says nothing fails with what the page showed: the status, what lies over the button (a box
// would take the click), a box's text and where the focus is.
async function save(page) {
  await page.$eval("#wsStatus", (e) => { e.textContent = ""; });
  await page.click("#wsSave");
  const saved = () => /^Saved /.test(document.getElementById("wsStatus").textContent);
  await page.waitForFunction(saved, { timeout: 60000 }).catch(async () => {
    const shown = await page.evaluate(() => {
      document.getElementById("wsSave").scrollIntoView({ block: "nearest" });
      const button = document.getElementById("wsSave").getBoundingClientRect();
      const top = document.elementFromPoint(button.x + button.width / 2, button.y + button.height / 2);
      const named = (e) => (e === null ? "nothing" : e.id || e.className || e.tagName);
      const box = document.getElementById("box");
      return {
        status: document.getElementById("wsStatus").textContent,
        overButton: named(top),
        box: box.hidden ? "none" : document.getElementById("boxText").textContent,
        focus: named(document.activeElement),
      };
    });
    throw new Error(`Save said nothing within 60 s: ${JSON.stringify(shown)}`);
  });
}
async function runIt(page) {
  await page.click("#Button4");
  await until(page, () => !document.getElementById("Button4").disabled);
}

try {
  // A mistake typed: the finding names its line, as quelvar-run --check words it, and the editor
  // marks that line.
  let page = await open("?descriptor=multiply.rm");
  check("the editor opens the loaded descriptor",
        (await text(page, "#wsPath")) === "/examples/multiply.rm");
  await typeInEditor(page, "program", "S(1)\nT(1,2\nJ(1,1,9)\n");
  const typedProgram = "S(1)\r\nT(1,2\r\nJ(1,1,9)\r\n";
  fs.mkdirSync("/tmp/quelvar-workspace-test", { recursive: true });
  const scratch = fs.mkdtempSync("/tmp/quelvar-workspace-test/check-");
  fs.copyFileSync(path.join(examples, "multiply.rm"), path.join(scratch, "multiply.rm"));
  fs.copyFileSync(path.join(examples, "multiply-data.txt"), path.join(scratch, "multiply-data.txt"));
  fs.writeFileSync(path.join(scratch, "multiply-program.txt"), typedProgram);
  let native = "";
  try {
    execFileSync(quelvarRun, ["--check", "multiply.rm"], { cwd: scratch, encoding: "utf8" });
  } catch (failure) { native = failure.stdout; }
  // The checker runs a moment after the last key: a pause in the typing may show a part's findings.
  await until(page, (expected) => [...document.querySelectorAll("#wsFindings li")]
      .map((e) => e.textContent).join("\n") === expected, native.trim()).catch(() => {});
  check("the findings are quelvar-run --check's", (await findings(page)).join("\n") === native.trim(),
        JSON.stringify([await findings(page), native]));
  await until(page, () => document.querySelectorAll(".cm-lintRange-warning").length >= 1);
  const marked = await page.$$eval(".cm-line", (lines) => lines
      .map((l, i) => (l.querySelector(".cm-lintRange-warning") ? i + 1 : 0)).filter((i) => i > 0));
  const nativeLines = [...native.matchAll(/^multiply-program\.txt:(\d+):/gm)].map((m) => Number(m[1]));
  check("the editor marks the findings' lines", marked.join() === nativeLines.join(),
        `${marked} vs ${nativeLines}`);
  check("Z, S, T and J are coloured", (await page.$$eval("#wsCode .cm-line span", (spans) => spans
      .filter((s) => /^[ZSTJ]$/.test(s.textContent) && getComputedStyle(s).color === "rgb(0, 51, 179)")
      .length)) === 3);

  // Save, then Run It: the form reads the edited program from the page's files.
  await typeInEditor(page, "program", "S(1)\nS(1)\nT(1,3)\n");
  await save(page);
  check("Save writes the program as the file's lines end",
        (await readFile(page, "/examples/multiply-program.txt")) === "S(1)\r\nS(1)\r\nT(1,3)\r\n");
  await runIt(page);
  const edited = await rowsReading(page, "List1", "R1 -> 8|R2 -> 7|R3 -> 8");
  check("Run It runs the saved program", edited === "R1 -> 8|R2 -> 7|R3 -> 8", edited);

  // Download: the page's folders as a zip, the saved program in it as saved.
  const downloads = fs.mkdtempSync("/tmp/quelvar-workspace-test/download-");
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads,
                                                  browserContextId: page.browserContext().id });
  await page.click("#wsDownload");
  const zipPath = path.join(downloads, "quelvar-files.zip");
  for (let waited = 0; !fs.existsSync(zipPath) && waited < 30000; waited += 100) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const zipped = unzipped(fs.readFileSync(zipPath));
  check("Download zips the page's files", zipped.get("examples/multiply-program.txt") ===
        "S(1)\r\nS(1)\r\nT(1,3)\r\n" && zipped.has("examples/add.cases"), [...zipped.keys()].join());

  // The files outlive a reload; Restore examples puts the bundled ones back, after asking.
  await page.reload();
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  check("a reload keeps the saved file",
        (await readFile(page, "/examples/multiply-program.txt")) === "S(1)\r\nS(1)\r\nT(1,3)\r\n");
  await page.click("#wsRestore");
  await page.waitForSelector("#ask:not([hidden])");
  await page.click("#askReplace");
  await until(page, () => /as bundled/.test(document.getElementById("wsStatus").textContent));
  check("Restore examples puts the bundled program back",
        (await readFile(page, "/examples/multiply-program.txt")) ===
        fs.readFileSync(path.join(examples, "multiply-program.txt"), "utf8"));
  await page.reload();
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  check("the restored example is kept across a reload",
        (await readFile(page, "/examples/multiply-program.txt")) ===
        fs.readFileSync(path.join(examples, "multiply-program.txt"), "utf8"));

  // New: a trio that runs, loaded; it too outlives a reload.
  await page.$eval("#wsNewName", (e) => { e.value = "mine"; });
  await page.click("#wsNew");
  await until(page, () => document.getElementById("Label10").textContent === "mine-program.txt");
  await runIt(page);
  const trio = await rowsReading(page, "List1", "R1 -> 7");
  check("New writes a trio that runs", trio === "R1 -> 7", trio);
  await page.reload();
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  check("a reload keeps the new trio", (await readFile(page, "/examples/mine.rm")) !== null);
  await page.close();

  // A link: the three files and the cases file, compressed in the fragment; opened in another
  // browser, it writes them and loads the descriptor.
  page = await open("?descriptor=add.rm");
  await typeInEditor(page, "program", "J(2,3,5)\nS(1)\nS(3)\nJ(1,1,1)\nZ(2)\n");
  await save(page);
  await page.click("#wsCopyLink");
  await until(page, () => location.hash.startsWith("#quelvar=1."));
  const link = await page.evaluate(() => location.href);
  await page.close();
  page = await open(link.slice(base.length));
  check("a link writes the program", (await readFile(page, "/links/add-program.txt")) ===
        "J(2,3,5)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\nZ(2)\r\n");
  check("a link brings the cases file", (await readFile(page, "/links/add.cases")) ===
        fs.readFileSync(path.join(examples, "add.cases"), "utf8"));
  const linked = await rowsReading(page, "List2", "J(2,3,5)|S(1)|S(3)|J(1,1,1)|Z(2)");
  check("a link loads its descriptor", (await text(page, "#Label10")) === "add-program.txt" &&
        linked === "J(2,3,5)|S(1)|S(3)|J(1,1,1)|Z(2)", linked);
  check("a link opens the editor on its descriptor", (await text(page, "#wsPath")) === "/links/add.rm");
  // The same link again, where one of its files has changed since: it asks before replacing it.
  await typeInEditor(page, "program", "S(1)\n");
  await save(page);
  await page.reload();
  await page.waitForSelector("#ask:not([hidden])", { timeout: 60000 });
  check("a link asks before it replaces a file",
        /add-program.txt is already in \/links/.test(await text(page, "#askText")));
  await page.click("#askKeep");
  await page.waitForSelector("body[data-workspace='1']");
  check("Keep keeps the changed file", (await readFile(page, "/links/add-program.txt")) === "S(1)\r\n");
  await page.close();
  // Links that cannot be read: damaged, inflating past 64 MB, naming a file in another folder.
  const fragment = (json) => "#quelvar=1." + zlib.deflateRawSync(Buffer.from(json)).toString("base64url");
  const unread = [
    ["damaged", "#quelvar=1.bm90IGEgbGluaw"],
    ["of 65 MB", fragment(JSON.stringify({ d: "a.rm", f: [["a.rm", "x".repeat(65 << 20)]] }))],
    ["naming another folder", fragment(JSON.stringify({ d: "a.rm", f: [["a.rm", ""], ["../x.txt", ""]] }))],
  ];
  for (const [what, hash] of unread) {
    page = await open(hash);
    check(`a link ${what} says it cannot be read`, !(await page.$eval("#box", (b) => b.hidden)) &&
          /This link cannot be read/.test(await text(page, "#boxText")), await text(page, "#boxText"));
    check(`a link ${what} writes nothing`, (await page.evaluate(() => Module.FS.analyzePath("/links").exists)) === false);
    await page.close();
  }

  // The editor follows a load through the Open dialog while it holds no unsaved change.
  page = await open("");
  await page.keyboard.press("F3");
  await page.waitForSelector("#open:not([hidden])");
  await page.$eval("#openName", (e) => { e.value = "divide.rm"; });
  await page.click("#openOk");
  await until(page, () => document.getElementById("wsPath").textContent === "/examples/divide.rm");
  check("the editor follows the form's load", (await text(page, "#wsCode .cm-content")).startsWith("Z(5)J(5,2,7)"));

  // Cases: every example's verdicts are quelvar-run --cases's, case by case.
  for (const cases of fs.readdirSync(examples).filter((n) => n.endsWith(".cases")).sort()) {
    const descriptor = cases.replace(/\.cases$/, ".rm");
    let out = "";
    try {
      out = execFileSync(quelvarRun, ["--cases", cases, descriptor], { cwd: examples, encoding: "utf8" });
    } catch (failure) { out = failure.stdout; }
    await page.evaluate(() => { document.getElementById("wsSummary").textContent = ""; });
    await page.evaluate((d) => { call("quelvar_load", d); }, "/examples/" + descriptor);
    await page.click("#wsEditLoaded");
    await page.click("#wsCheck");
    await until(page, () => document.getElementById("wsSummary").textContent !== "");
    const shown = await page.$$eval("#wsVerdicts tbody tr", (trs) =>
        trs.map((tr) => `${tr.cells[0].textContent}: ${tr.cells[4].textContent}`));
    shown.push(await text(page, "#wsSummary"));
    check(`${cases}: the verdicts are quelvar-run --cases's`, shown.join("\n") === out.trim(),
          JSON.stringify([shown, out]));
  }

  // A failing case, chosen, loads its inputs as the data form, ready to step.
  await page.evaluate(() => { call("quelvar_load", "/examples/add.rm"); });
  await page.click("#wsEditLoaded");
  await typeInEditor(page, "program", "J(2,3,5)\nS(1)\nS(1)\nS(3)\nJ(1,1,1)\n");
  await save(page);
  await page.click("#wsCheck");
  await until(page, () => document.querySelector("#wsVerdicts tr.fail") !== null);
  const failing = await page.$eval("#wsVerdicts tr.fail", (tr) => tr.cells[1].textContent);
  await page.click("#wsVerdicts tr.fail");
  const inputs = failing.split(",").map((v, i) => `R${i + 1} -> ${Number(v)}`).join("|");
  const loaded = await rowsReading(page, "List1", inputs);
  check("a failing case loads its inputs", loaded === inputs, `${failing}: ${loaded}`);
  const chosen = await rowsReading(page, "List2", "J(2,3,5)|S(1)|S(1)|S(3)|J(1,1,1)");
  check("the chosen case runs the module's program", chosen === "J(2,3,5)|S(1)|S(1)|S(3)|J(1,1,1)", chosen);
  await page.close();

  // Go to line count K leaves the form as Step Or Run and K presses of Next do.
  page = await open("?descriptor=multiply.rm");
  const state = (p) => p.evaluate(() => ({
    registers: [...document.querySelectorAll("#List1 .row")].map((e) => e.textContent).join("|"),
    index: document.getElementById("Label3").textContent,
    frame: [...document.querySelectorAll("#List2 .row")]
      .filter((e) => e.style.borderColor === "rgb(0, 0, 255)").map((e) => e.dataset.row).join(),
    buttons: ["Button4", "Button7", "Button8"].map((b) => document.getElementById(b).disabled).join(),
  }));
  // Two animation frames: the lists are drawn by then.
  const settled = () => page.evaluate(() => new Promise((resolve) =>
      requestAnimationFrame(() => requestAnimationFrame(resolve))));
  for (const k of [0, 1, 37, 205, 300]) {
    await page.keyboard.down("Shift");
    await page.keyboard.press("F9");
    await page.keyboard.up("Shift");
    for (let n = 0; n < k && !(await page.$eval("#Button8", (b) => b.disabled)); ++n) {
      await page.click("#Button8");
    }
    await settled();
    const pressed = await state(page);
    await page.$eval("#wsGotoCount", (e, k) => { e.value = String(k); }, k);
    await page.click("#wsGotoButton");
    await settled();
    const went = await state(page);
    check(`go to ${k} is ${k} presses of Next`, JSON.stringify(went) === JSON.stringify(pressed),
          JSON.stringify([went, pressed]));
  }
  await page.$eval("#wsGotoCount", (e) => { e.value = "38"; });
  await page.click("#wsGotoBack");
  check("one step back is a line count one less", (await page.$eval("#wsGotoCount", (e) => e.value)) === "37");
  await page.close();

  // The panels beside the form on a wide page and under it on a narrow one; the form keeps its
  // geometry. axe-core finds nothing to report in the panels, their findings and verdicts shown.
  page = await open("?descriptor=add.rm");
  const boxes = () => page.evaluate(() => Object.fromEntries(["window", "form", "workspace"]
      .map((id) => [id, document.getElementById(id).getBoundingClientRect().toJSON()])));
  await page.setViewport({ width: 1400, height: 900 });
  let at = await boxes();
  check("on a wide page the panels stand beside the form",
        at.workspace.left >= at.window.right && at.workspace.top < at.window.bottom, JSON.stringify(at));
  check("the form keeps its size beside the panels", at.form.width === 649 && at.form.height === 341);
  await page.setViewport({ width: 800, height: 900 });
  at = await boxes();
  check("on a narrow page the panels go under the form", at.workspace.top >= at.window.bottom,
        JSON.stringify(at));
  check("the form keeps its size above the panels", at.form.width === 649 && at.form.height === 341);
  await typeInEditor(page, "program", "J(2,3,5)\nS(1)\nS(3)\nJ(1,1,1\n");
  await until(page, () => document.querySelectorAll("#wsFindings li").length >= 1);
  await page.click("#wsCheck");
  await until(page, () => document.querySelector("#wsVerdicts tbody tr") !== null);
  const axe = createRequire(import.meta.url).resolve("axe-core/axe.min.js");
  await page.addScriptTag({ path: axe });
  const violations = await page.evaluate(async () =>
    (await axe.run(document.getElementById("workspace"))).violations
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
  check("axe-core finds no violation in the panels", violations.length === 0, violations.join("\n"));
  await page.close();

  // Offline: after one visit the page starts with its server gone and the browser offline.
  const own = await serve(folder);
  page = await (await browser.createBrowserContext()).newPage();
  page.on("pageerror", (error) => scriptErrors.push(`offline: ${error.message}`));
  await page.goto(own.base);
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  await page.evaluate(() => navigator.serviceWorker.ready);
  await until(page, () => navigator.serviceWorker.controller !== null);
  own.server.close();
  own.server.closeAllConnections();
  await page.setOfflineMode(true);
  await page.reload();
  await page.waitForSelector("body[data-workspace='1']", { timeout: 60000 });
  check("offline, the page starts from its cache", (await text(page, "#Button6")) === "Load Progrtam");
  await page.evaluate(() => { call("quelvar_load", "/examples/multiply.rm"); });
  check("offline, the examples load", (await text(page, "#Label10")) === "multiply-program.txt");
  await page.close();
} catch (error) {
  check("the test ran to its end", false, error.stack);
} finally {
  check("no script error", scriptErrors.length === 0, scriptErrors.join("\n"));
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
