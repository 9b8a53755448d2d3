// Quelvar's page in Debian's Chromium, headless, driven by puppeteer-core: start-up, a run of
// examples/multiply.rm to its end by Ctrl+F9, steps with Shift+F9 and F7, a bad descriptor's box,
// About, the ticks going on behind it, and the pace of a long run (reported, not asserted).
//   node page.test.mjs PAGE_FOLDER
// Prints "N passed, M failed" last; exits non-zero on any failure.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";
import { PNG } from "pngjs";

const folder = path.resolve(process.argv[2]);
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".css": "text/css", ".svg": "image/svg+xml", ".data": "application/octet-stream" };
const server = http.createServer((request, response) => {
  const file = path.join(folder, decodeURIComponent(new URL(request.url, "http://x").pathname));
  if (!file.startsWith(folder) || !fs.existsSync(file)) { response.writeHead(404); response.end(); return; }
  response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const base = `http://127.0.0.1:${server.address().port}/index.html`;

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

let passed = 0, failed = 0;
function check(what, ok, detail) {
  if (ok) { ++passed; } else { ++failed; console.log(`FAIL: ${what}${detail ? ": " + detail : ""}`); }
}

async function open(query) {
  const page = await browser.newPage();
  await page.goto(base + query);
  await page.waitForSelector("body[data-ready='1']", { timeout: 20000 });
  return page;
}
const text = (page, selector) => page.$eval(selector, (el) => el.textContent);
const rows = (page, list) => page.$$eval(`#${list} .row`, (els) => els.map((e) => e.textContent));
const framed = (page, list) => page.$$eval(`#${list} .row`, (els) =>
    els.filter((e) => e.style.borderColor === "rgb(0, 0, 255)").map((e) => Number(e.dataset.row)));
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
                             { timeout: 10000 });
  await page.waitForFunction(() => document.querySelectorAll("#List1 .row").length === 5);
  check("registers after the run", (await rows(page, "List1")).join("|") ===
      "R1 -> 42|R2 -> 7|R3 -> 42|R4 -> 7|R5 -> 6", (await rows(page, "List1")).join("|"));
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
  const before = Number((await text(page, "#Label3")) !== "" ? await page.evaluate(
      () => document.querySelector("#List1 .row").textContent.split("-> ")[1]) : 0);
  await new Promise((resolve) => setTimeout(resolve, 500));
  const after = Number(await page.evaluate(
      () => document.querySelector("#List1 .row").textContent.split("-> ")[1]));
  check("ticks go on behind the About box", after > before, `${before} then ${after}`);
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
} catch (error) {
  ++failed;
  console.log(`FAIL: ${error.message}`);
} finally {
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
