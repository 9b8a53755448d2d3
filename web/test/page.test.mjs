// Quelvar's page in Debian's Chromium, headless, driven by puppeteer-core: start-up, a run of
// examples/multiply.rm to its end by Ctrl+F9, steps with Shift+F9 and F7, a bad descriptor's box,
// About, the ticks going on behind it, and the pace of a long run (reported, not asserted); boxes
// that queue, names of millions of characters and names with a NUL, the Open dialog's order and
// folders, uploads of folders and of files that are already there, an opened folder, file://; and
// what screen-reader and keyboard users get (a11y.test.mjs).
//   node page.test.mjs PAGE_FOLDER
// Prints "N passed, M failed" last; exits non-zero on any failure.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { PNG } from "pngjs";
import { serve, launch, rowsReading } from "./serve.mjs";
import { a11yTests } from "./a11y.test.mjs";

const folder = path.resolve(process.argv[2]);
const { server, base } = await serve(folder);
const browser = await launch();

let passed = 0, failed = 0, lastCheck = "";
function check(what, ok, detail) {
  lastCheck = what;
  if (ok) { ++passed; } else { ++failed; console.log(`FAIL: ${what}${detail ? ": " + detail : ""}`); }
}

// Every script error on a page served over HTTP: there should be none.
const scriptErrors = [];
async function open(query) {
  const page = await browser.newPage();
  page.on("pageerror", (error) => scriptErrors.push(`${query.slice(0, 60)}: ${error.message}`));
  await page.goto(base + query);
  // A start-up address of a megabyte takes Chromium long to take in.
  await page.waitForSelector("body[data-ready='1']", { timeout: 60000 });
  return page;
}
const text = (page, selector) => page.$eval(selector, (el) => el.textContent);
const rows = (page, list) => page.$$eval(`#${list} .row`, (els) => els.map((e) => e.textContent));
const framed = (page, list) => page.$$eval(`#${list} .row`, (els) =>
    els.filter((e) => e.style.borderColor === "rgb(0, 0, 255)").map((e) => Number(e.dataset.row)));
const boxShown = (page) => page.$eval("#box", (b) => !b.hidden);
const listing = (page) => page.$$eval("#openFiles li", (els) => els.map((e) => e.textContent));
const entryShown = (page, i, name) => page.waitForFunction(
    (i, name) => document.querySelectorAll("#openFiles li")[i]?.textContent === name, {}, i, name);
// The page's file system, to set a case up and to see what an upload left.
const writeFile = (page, name, bytes) =>
  page.evaluate((n, b) => Module.FS.writeFile(n, b), name, bytes);
const readFile = (page, name) => page.evaluate((n) =>
  Module.FS.analyzePath(n).exists ? Module.FS.readFile(n, { encoding: "utf8" }) : null, name);
// Load with a name typed in the Open dialog.
async function loadTyped(page, name) {
  await page.keyboard.press("F3");
  await page.waitForSelector("#open:not([hidden])");
  await page.$eval("#openName", (e, n) => { e.value = n; }, name);
  await page.click("#openOk");
}
const started = Date.now();

try {
  // Start-up: the layout's texts, nothing loaded.
  let page = await open("");
  const startup = Date.now() - started;
  check("title", (await page.title()) === "Quelvar");
  check("Load button", (await text(page, "#Button6")) === "Load Progrtam");
  check("Label3 at start", (await text(page, "#Label3")) === "Label3");
  check("Run It disabled", await page.$eval("#Button4", (b) => b.disabled));
  check("menu", (await page.$$eval("#menubar .item", (els) => els.map((e) => e.id))).join(",") ===
      "Load1,Exit1,RunIt1,StepOrRun1,NextStep1,Halt1,About1");
  check("the lists' accessible names",
        (await page.$eval("#List1", (e) => e.getAttribute("aria-label"))) === "Registers" &&
        (await page.$eval("#List2", (e) => e.getAttribute("aria-label"))) === "Program");
  // Alt and the Help menu's letter, then the About item's.
  await page.keyboard.down("Alt");
  await page.keyboard.press("h");
  await page.keyboard.up("Alt");
  await page.keyboard.press("a");
  check("Alt+H, A opens About", !(await page.$eval("#box", (b) => b.hidden)));
  await page.keyboard.press("Enter");
  check("Enter closes the box", await page.$eval("#box", (b) => b.hidden));
  await page.close();

  // ?descriptor=multiply.rm, then Ctrl+F9 until the run ends.
  page = await open("?descriptor=multiply.rm");
  check("descriptor loaded", (await text(page, "#Label10")) === "multiply-program.txt");
  // Labels are named by their text, the rest by an aria-label.
  const unnamed = await page.$$eval("#form .control:not([hidden])", (els) => els
      .filter((e) => !e.id || !(e.getAttribute("aria-label") || e.textContent)).map((e) => e.id));
  check("every control has its form name as id and an accessible name", unnamed.length === 0,
        unnamed.join());
  await page.keyboard.down("Control");
  await page.keyboard.press("F9");
  await page.keyboard.up("Control");
  await page.waitForFunction(() => document.getElementById("Label3").textContent === "10",
                             { timeout: 60000 });
  const run = await rowsReading(page, "List1", "R1 -> 42|R2 -> 7|R3 -> 42|R4 -> 7|R5 -> 6");
  check("registers after the run", run === "R1 -> 42|R2 -> 7|R3 -> 42|R4 -> 7|R5 -> 6" &&
        (await rows(page, "List1")).length === 5, run);
  check("Run It enabled again", !(await page.$eval("#Button4", (b) => b.disabled)));
  check("frame below the last line", (await framed(page, "List2")).join() === "9");

  // Step Or Run and Next move the frame.
  await page.keyboard.down("Shift");
  await page.keyboard.press("F9");
  await page.keyboard.up("Shift");
  await page.waitForFunction(() => [...document.querySelectorAll("#List2 .row")]
      .some((e) => e.dataset.row === "0" && e.style.borderColor === "rgb(0, 0, 255)"));
  check("Step Or Run frames line 1", (await framed(page, "List2")).join() === "0");
  await page.keyboard.press("F7");
  await page.keyboard.press("F7");
  await page.waitForFunction(() => document.getElementById("Label3").textContent === "3");
  await page.waitForFunction(() => [...document.querySelectorAll("#List2 .row")]
      .some((e) => e.dataset.row === "2" && e.style.borderColor === "rgb(0, 0, 255)"));
  check("Next moves the frame", (await framed(page, "List2")).join() === "2");

  // The frame at the devicePixelRatios of today's screens: one closed rectangle of the frame
  // colour, whole device pixels, and no other pixel of that colour in the list. (At 1.25 the
  // browser's layout cannot put an edge on a device pixel: it blends the frame's edges.)
  for (const ratio of [1, 1.5, 2]) {
    await page.setViewport({ width: 800, height: 500, deviceScaleFactor: ratio });
    await new Promise((resolve) => setTimeout(resolve, 100));
    // The whole viewport, in device pixels as painted (a clipped shot may be resampled), read
    // where the list stands.
    const image = PNG.sync.read(await page.screenshot());
    const area = await page.$eval("#List2", (e) => e.getBoundingClientRect().toJSON());
    const x0 = Math.floor(area.left * ratio), x1 = Math.ceil(area.right * ratio);
    const y0 = Math.floor(area.top * ratio), y1 = Math.ceil(area.bottom * ratio);
    let top = Infinity, left = Infinity, bottom = -1, right = -1, blue = 0;
    const isBlue = (x, y) => {
      const i = (y * image.width + x) * 4;
      return image.data[i] === 0 && image.data[i + 1] === 0 && image.data[i + 2] === 255;
    };
    for (let y = y0; y < y1; ++y) {
      for (let x = x0; x < x1; ++x) {
        if (!isBlue(x, y)) continue;
        ++blue;
        top = Math.min(top, y); bottom = Math.max(bottom, y);
        left = Math.min(left, x); right = Math.max(right, x);
      }
    }
    // The border's width in device pixels: what the top edge shows at the middle.
    let width = 0;
    while (top + width <= bottom && isBlue((left + right) >> 1, top + width)) ++width;
    let outline = 0;
    for (let y = top; y <= bottom; ++y) {
      for (let x = left; x <= right; ++x) {
        const edge = y < top + width || y > bottom - width || x < left + width || x > right - width;
        if (edge && isBlue(x, y)) ++outline;
      }
    }
    const rowHeight = bottom - top + 1;
    check(`one closed frame at devicePixelRatio ${ratio}`,
          blue > 0 && blue === outline &&
              outline === 2 * width * (right - left + 1) + 2 * width * (rowHeight - 2 * width) &&
              Math.abs(rowHeight - 13 * ratio) <= 1,
          `${blue} blue pixels, ${outline} on the frame, ${width} wide, ${rowHeight} high`);
  }
  await page.setViewport({ width: 800, height: 500, deviceScaleFactor: 1 });

  // About, and ticks behind it: a run of forever.rm goes on while the box is open.
  await page.close();
  page = await open("?descriptor=forever.rm");
  await page.click("#Button4");
  await page.keyboard.press("F1");
  check("About box", (await text(page, "#boxText")).startsWith("Quelvar."),
        await text(page, "#boxText"));
  check("About caption", (await text(page, "#boxCaption")) === "Quelvar");
  // R1 counts on while the box stays open; the wait is generous, for a busy machine.
  const [before] = await rows(page, "List1");
  const moved = await page.waitForFunction(
      (was) => document.querySelector("#List1 .row")?.textContent !== was, { timeout: 30000 },
      before).then(() => true, () => false);
  check("ticks go on behind the About box", moved && (await page.$("#box:not([hidden])")) !== null,
        `${before} then ${(await rows(page, "List1"))[0]}`);
  await page.click("#boxOk");

  // The pace of a long run: R1 counts the rounds of two lines.
  const r0 = Number(await page.evaluate(() => document.querySelector("#List1 .row").textContent.split("-> ")[1]));
  await new Promise((resolve) => setTimeout(resolve, 5000));
  const r1 = Number(await page.evaluate(() => document.querySelector("#List1 .row").textContent.split("-> ")[1]));
  const rounds = (r1 - r0 + 65536) % 65536;
  console.log(`start-up ${startup} ms; a long run: ${(2 * rounds / 5).toFixed(0)} lines/s`);
  await page.close();

  // A bad descriptor's box.
  page = await open("?descriptor=missing.rm");
  await page.waitForSelector("#box:not([hidden])");
  check("missing descriptor", (await text(page, "#boxText")) === "File not found.",
        await text(page, "#boxText"));
  await page.close();

  // Boxes queue: an error that comes while About is open waits behind it. After Step Or Run on
  // an empty program, Start It and F1 in one task: About opens before the next tick fails.
  page = await open("");
  await writeFile(page, "/examples/empty.rm", "Empty\r\nadd-data.txt\r\nempty-program.txt\r\n");
  await writeFile(page, "/examples/empty-program.txt", "");
  await loadTyped(page, "empty.rm");
  await page.keyboard.down("Shift");
  await page.keyboard.press("F9");
  await page.keyboard.up("Shift");
  await page.evaluate(() => {
    document.getElementById("Button9").click();
    document.dispatchEvent(new KeyboardEvent("keydown", { key: "F1", bubbles: true }));
  });
  await page.waitForFunction(() => boxes.length === 2, { timeout: 20000 });
  check("the first box stays", (await text(page, "#boxText")).startsWith("Quelvar."),
        await text(page, "#boxText"));
  await page.keyboard.press("Enter");
  check("the second box follows", (await text(page, "#boxText")) === "List index out of bounds (0)",
        await text(page, "#boxText"));
  await page.keyboard.press("Enter");
  check("both boxes closed", !(await boxShown(page)));
  await page.close();

  // Names of any length, and names with a NUL, fail as on the desktop, and the page goes on.
  const names = [
    ["?descriptor=", "y".repeat(1500000) + ".rm", "File not found."],
    ["dialog", "x".repeat(4000000) + ".rm", "File not found."],
    ["dialog", "\u00e9".repeat(2000000) + ".rm", "File not found."],
    ["dialog", "missing/" + "x".repeat(4000000), "Invalid filename."],
    ["?descriptor=", "add.rm%00.txt", "Invalid filename."],
    ["dialog", "add.rm\u0000.txt", "Invalid filename."],
  ];
  for (const [how, name, message] of names) {
    const what = `${how} ${name.slice(0, 12)}... (${name.length} characters)`;
    page = await open(how === "dialog" ? "" : how + name);
    if (how === "dialog") await loadTyped(page, name);
    await page.waitForSelector("#box:not([hidden])");
    check(what, (await text(page, "#boxText")) === message, await text(page, "#boxText"));
    check(`${what}: nothing loaded`, (await text(page, "#Label10")) === "");
    await page.keyboard.press("Enter");
    await loadTyped(page, "multiply.rm");
    await page.waitForFunction(() => document.getElementById("Label10").textContent !== "");
    check(`${what}: the page goes on`, (await text(page, "#Label10")) === "multiply-program.txt");
    await page.close();
  }

  // A folder added from the computer keeps its subfolders; the dialog lists folders, then
  // descriptors, each in the order of their names.
  const disk = fs.mkdtempSync(path.join(os.tmpdir(), "quelvar-page-"));
  const put = (name, bytes) => {
    fs.mkdirSync(path.dirname(path.join(disk, name)), { recursive: true });
    fs.writeFileSync(path.join(disk, name), bytes);
  };
  put("course/p.rm", "Lab one\r\nlab1/d.txt\r\nlab1/p.txt\r\n");
  put("course/lab1/d.txt", "5\r\n7\r\n");
  put("course/lab1/p.txt", "S(1)\r\n");
  put("course/lab2/d.txt", "9\r\n");
  put("lab1", "Not a folder\r\n");
  put("aaa.rm", "First by name\r\nadd-data.txt\r\nadd-program.txt\r\n");
  put("add.rm", "Mine\r\nadd-data.txt\r\nadd-program.txt\r\n");
  put("new.rm", "New\r\nadd-data.txt\r\nadd-program.txt\r\n");
  // Folders first, then descriptors, each sorted by name.
  const entries = fs.readdirSync(new URL("../../examples", import.meta.url), {withFileTypes: true});
  const examples = [
    ...entries.filter((e) => e.isDirectory()).map((e) => e.name + "/").sort(),
    ...entries.filter((e) => e.isFile() && e.name.endsWith(".rm")).map((e) => e.name).sort(),
  ];
  page = await open("");
  await page.keyboard.press("F3");
  check("the dialog sorts", (await listing(page)).join() === ["../", ...examples].join(),
        (await listing(page)).join());
  await (await page.$("#openAdd")).uploadFile(path.join(disk, "aaa.rm"));
  const folders = examples.filter((n) => n.endsWith("/"));
  const files = examples.filter((n) => !n.endsWith("/"));
  await entryShown(page, 1 + folders.length, "aaa.rm");
  check("an added file takes its place by name",
        (await listing(page)).join() === ["../", ...folders, "aaa.rm", ...files].join(),
        (await listing(page)).join());
  await (await page.$("#openAddFolder")).uploadFile(path.join(disk, "course"));
  const course = 1 + [...folders, "course/"].sort().indexOf("course/");
  await entryShown(page, course, "course/");
  await page.click(`#openFiles li:nth-child(${course + 1})`);
  check("the added folder", (await listing(page)).join() === "../,lab1/,lab2/,p.rm",
        (await listing(page)).join());
  check("same names in two subfolders",
        (await readFile(page, "/examples/course/lab1/d.txt")) === "5\r\n7\r\n" &&
            (await readFile(page, "/examples/course/lab2/d.txt")) === "9\r\n");
  await (await page.$("#openAdd")).uploadFile(path.join(disk, "lab1"));
  await page.waitForSelector("#box:not([hidden])");
  check("a file cannot take a folder's place", (await text(page, "#boxText")) ===
      "A file and a folder cannot have the same name: lab1 not added to /examples/course.",
        await text(page, "#boxText"));
  await page.keyboard.press("Enter");
  await page.$eval("#openName", (e) => { e.value = "p.rm"; });
  await page.click("#openOk");
  const named = await rowsReading(page, "List1", "R1 -> 5|R2 -> 7");
  check("a descriptor naming lab1/d.txt", (await text(page, "#Label9")) === "lab1/d.txt" &&
      named === "R1 -> 5|R2 -> 7" && (await rows(page, "List1")).length === 2 &&
      (await rows(page, "List2")).join("|") === "S(1)", named);
  await page.close();

  // An upload never replaces a file without asking: Keep adds only what is new, Replace replaces.
  page = await open("");
  const asItWas = await readFile(page, "/examples/add.rm");
  await page.keyboard.press("F3");
  const uploads = [
    ["#askKeep", "add.rm is already in /examples. Replace it?", asItWas],
    ["#askReplace", "2 files are already in /examples: add.rm, new.rm. Replace them?",
     "Mine\r\nadd-data.txt\r\nadd-program.txt\r\n"],
  ];
  for (const [answer, question, expected] of uploads) {
    await (await page.$("#openAdd"))
        .uploadFile(path.join(disk, "add.rm"), path.join(disk, "new.rm"));
    await page.waitForSelector("#ask:not([hidden])");
    check(`the upload asks (${answer})`, (await text(page, "#askText")) === question,
          await text(page, "#askText"));
    await page.click(answer);
    // The input is emptied once the upload is done.
    await page.waitForFunction(() => document.getElementById("openAdd").files.length === 0);
    check(`${answer}: add.rm`, (await readFile(page, "/examples/add.rm")) === expected);
    check(`${answer}: new.rm added`, (await readFile(page, "/examples/new.rm")) ===
        "New\r\nadd-data.txt\r\nadd-program.txt\r\n");
  }
  await page.close();
  fs.rmSync(disk, { recursive: true });

  // A folder opened through the File System Access API (a stand-in for the picker, whose files
  // the test changes) is copied with its subfolders to /folders/NAME, and again at Run It.
  page = await browser.newPage();
  page.on("pageerror", (error) => scriptErrors.push(`open folder: ${error.message}`));
  await page.evaluateOnNewDocument(() => {
    window.disk = { "p.rm": "Lab one\r\nlab1/d.txt\r\nlab1/p.txt\r\n",
                    lab1: { "d.txt": "5\r\n", "p.txt": "S(1)\r\n" } };
    const folder = (name, tree) => ({
      kind: "directory", name,
      async* entries() {
        for (const [n, v] of Object.entries(tree)) {
          yield [n, typeof v === "string"
              ? { kind: "file", name: n, getFile: async () => new File([v], n) } : folder(n, v)];
        }
      },
    });
    window.showDirectoryPicker = async () => folder("work", window.disk);
  });
  await page.goto(base);
  await page.waitForSelector("body[data-ready='1']", { timeout: 60000 });
  await page.keyboard.press("F3");
  await page.click("#openFolderButton");
  await page.waitForFunction(
      () => document.getElementById("openFolder").textContent === "/folders/work");
  check("an opened folder", (await listing(page)).join() === "../,lab1/,p.rm",
        (await listing(page)).join());
  await page.$eval("#openName", (e) => { e.value = "p.rm"; });
  await page.click("#openOk");
  await rowsReading(page, "List1", "R1 -> 5");
  await page.evaluate(() => { window.disk.lab1["d.txt"] = "8\r\n"; });
  await page.keyboard.down("Control");
  await page.keyboard.press("F9");
  await page.keyboard.up("Control");
  const reread = await rowsReading(page, "List1", "R1 -> 9");
  check("an opened folder is read again at Run It, its subfolders too",
        reread === "R1 -> 9" && (await rows(page, "List1")).length === 1, reread);
  check("an opened folder replaces nothing in /examples",
        (await readFile(page, "/examples/p.rm")) === null);
  await page.close();

  // Opened as a file, the page says how to serve it.
  page = await browser.newPage();
  await page.goto("file://" + path.join(folder, "index.html"));
  check("file:// says how to serve the page",
        (await text(page, "#served")).includes("python3 -m http.server -d build-web/page") &&
            await page.$eval("#served", (e) => !e.hidden && e.offsetHeight > 0) &&
            await page.$eval("#window", (e) => e.offsetHeight === 0));
  await page.close();

  await a11yTests({ open, check });

  check("no script error on any page", scriptErrors.length === 0, scriptErrors.join("; "));
} catch (error) {
  ++failed;
  console.log(`FAIL: ${error.message} (after "${lastCheck}")`);
} finally {
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
