// What the page's test and its benchmark share: the page folder served over HTTP on a free port,
// and Debian's Chromium, headless, driven by puppeteer-core.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";

const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".css": "text/css", ".svg": "image/svg+xml", ".data": "application/octet-stream" };

// Serves `folder`; resolves to the server and the address of its index.html.
export async function serve(folder) {
  // Addresses of megabytes (a ?descriptor= name of a million characters) are taken whole.
  const server = http.createServer({ maxHeaderSize: 8 << 20 }, (request, response) => {
    const file = path.join(folder, decodeURIComponent(new URL(request.url, "http://x").pathname));
    if (!file.startsWith(folder) || !fs.existsSync(file)) { response.writeHead(404); response.end(); return; }
    response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { server, base: `http://127.0.0.1:${server.address().port}/index.html` };
}

export function launch() {
  return puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
}

// A new tab on `address`, once the page has started.
export async function open(browser, address) {
  const page = await browser.newPage();
  await page.goto(address);
  await page.waitForSelector("body[data-ready='1']", { timeout: 20000 });
  return page;
}

// A list's first rows, joined by "|", once they read `expected`: the page draws a list at the
// next animation frame, after the labels of the same tick have changed. If they never do within
// 30 s, the rows as they stand, for the failure to show.
export async function rowsReading(page, list, expected) {
  const count = expected.split("|").length;
  const first = (l, n) => [...document.querySelectorAll(`#${l} .row`)].slice(0, n)
      .map((row) => row.textContent).join("|");
  await page.waitForFunction(`(${first})(${JSON.stringify(list)}, ${count}) === ${JSON.stringify(expected)}`,
                             { timeout: 30000 }).catch(() => {});
  return page.evaluate(`(${first})(${JSON.stringify(list)}, ${count})`);
}
