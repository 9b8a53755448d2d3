// What the page tells assistive technology and keyboard users, run by page.test.mjs: axe-core finds
// no violation in any state of the page; Tab walks the window's order; the live region says each
// step, the end of a run and Halt, and a run at most once a second; a focused button that disables
// itself hands the focus on; the lists are listboxes that the arrow keys move through; the menu
// bar, the boxes and the Open dialog keep and give back the focus; F8 pauses.
import { createRequire } from "node:module";

const require = createRequire(import.meta.url);
const axeScript = require.resolve("axe-core/axe.min.js");

const focused = (page) => page.evaluate(() => document.activeElement.id || document.activeElement.tagName);
const said = (page) => page.$eval("#announcement", (e) => e.textContent);
const attribute = (page, selector, name) => page.$eval(selector, (e, n) => e.getAttribute(n), name);
async function press(page, key, modifier) {
  if (modifier) await page.keyboard.down(modifier);
  await page.keyboard.press(key);
  if (modifier) await page.keyboard.up(modifier);
}
// A descriptor of a program of `lines`, with registers 1 and 2, in the page's file system.
async function writeProgram(page, name, lines) {
  await page.evaluate((n, text) => {
    Module.FS.writeFile(`/examples/${n}.rm`, `${n}\r\n${n}-data.txt\r\n${n}-program.txt\r\n`);
    Module.FS.writeFile(`/examples/${n}-data.txt`, "1\r\n2\r\n");
    Module.FS.writeFile(`/examples/${n}-program.txt`, text);
  }, name, lines.join("\r\n"));
}
async function load(page, name) {
  await page.keyboard.press("F3");
  await page.$eval("#openName", (e, n) => { e.value = n; }, name);
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => !document.getElementById("Button7").disabled);
}

// WCAG's contrast of two CSS colours "rgb(r, g, b)".
function contrast(a, b) {
  const luminance = (css) => {
    const [r, g, bl] = css.match(/\d+/g).map(Number).map((c) => {
      const v = c / 255;
      return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const [la, lb] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (la + 0.05) / (lb + 0.05);
}

export async function a11yTests({ open, check }) {
  // axe-core in every state a student meets: at start, loaded, stepping with a row chosen by the
  // arrow keys, a menu open, About, the Open dialog.
  const axeResults = [];
  const states = [
    ["at start-up", "", async () => {}],
    ["after loading multiply.rm", "?descriptor=multiply.rm", async () => {}],
    ["stepping, a row chosen", "?descriptor=multiply.rm", async (page) => {
      await press(page, "F9", "Shift");
      await page.focus("#List2");
      await press(page, "ArrowDown");
    }],
    ["the Run menu open", "?descriptor=multiply.rm", (page) => press(page, "r", "Alt")],
    ["About", "", (page) => press(page, "F1")],
    ["the Open dialog", "", async (page) => {
      await press(page, "F3");
      await page.focus("#openFiles");
      await press(page, "ArrowDown");
    }],
  ];
  for (const [state, query, reach] of states) {
    const page = await open(query);
    await reach(page);
    await page.addScriptTag({ path: axeScript });
    const violations = await page.evaluate(async () => (await axe.run()).violations
        .map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
    check(`axe: no violation ${state}`, violations.length === 0, violations.join("; "));
    axeResults.push(`${state}: ${violations.length} violations`);
    await page.close();
  }
  console.log(`axe-core ${require("axe-core/package.json").version}: ${axeResults.join("; ")}`);

  // The focus starts on the register list, as in the window; Tab walks the window's order (a
  // disabled button is left out) and Shift+Tab walks it back.
  let page = await open("?descriptor=multiply.rm");
  check("the register list has the focus at start", (await focused(page)) === "List1",
        await focused(page));
  const order = ["List1", "List2", "Button4", "Button6", "Button7", "Button5", "Button9"];
  const walked = [];
  for (let i = 0; i < order.length; ++i) {
    walked.push(await focused(page));
    if (i + 1 < order.length) await press(page, "Tab");
  }
  check("Tab walks the window's order", walked.join() === order.join(), walked.join());
  const back = [];
  for (let i = 0; i < order.length; ++i) {
    back.push(await focused(page));
    await press(page, "Tab", "Shift");
  }
  check("Shift+Tab walks it back, then to the menu bar",
        back.reverse().join() === order.join() && (await focused(page)) === "title-Program",
        `${back.join()} then ${await focused(page)}`);

  // The live region says what a sighted student sees: Shift+F9, F7 three times, a whole run.
  const narration = [
    [["Shift+F9"], "stepping from line 1: J(2,4,9)"],
    [["F7"], "line 1: J(2,4,9), no jump"],
    [["F7"], "line 2: Z(5), R5 -> 0"],
    [["F7"], "line 3: J(1,5,7), no jump"],
    [["Ctrl+F9"], "line 9: T(3,1), R1 -> 42. Stopped at line 10, past the last line"],
  ];
  const heard = [];
  await page.evaluate(() => {
    window.heard = [];
    new MutationObserver((records) => {
      for (const r of records) window.heard.push(r.addedNodes[0]?.textContent);
    }).observe(document.getElementById("announcement"), { childList: true });
  });
  for (const [keys, expected] of narration) {
    for (const key of keys) {
      const [modifier, name] = key.includes("+") ? key.split("+") : [null, key];
      await press(page, name, modifier === "Ctrl" ? "Control" : modifier);
    }
    await page.waitForFunction((t) => document.getElementById("announcement").textContent === t,
                               { timeout: 20000 }, expected).catch(() => {});
    heard.push(`${keys.join(" ")}: "${await said(page)}"`);
    check(`the live region after ${keys.join(" ")}`, (await said(page)) === expected,
          await said(page));
  }
  console.log(`the live region: ${heard.join("; ")}; all it said: ${
      (await page.evaluate(() => window.heard)).map((t) => `"${t}"`).join(", ")}`);
  check("the live region is polite",
        (await attribute(page, "#announcement", "role")) === "status" &&
            (await attribute(page, "#announcement", "aria-live")) === "polite");
  await page.close();

  // A run is said at most once a second, whatever the ticks; Halt at once. F8 pauses and resumes.
  // Each announcement comes a second or more after the one before, so a span of S seconds holds
  // at most floor(S) + 1 of them, however late the observer hears of them.
  page = await open("?descriptor=forever.rm");
  await page.evaluate(() => {
    window.made = 0;
    new MutationObserver((records) => { window.made += records.length; })
        .observe(document.getElementById("announcement"), { childList: true });
    window.runFrom = performance.now();
  });
  await press(page, "F9", "Control");
  // At least 3.5 s, and on a starved machine until two announcements came: the bound below is
  // taken over the span that passed.
  await new Promise((resolve) => setTimeout(resolve, 3500));
  await page.waitForFunction(() => window.made >= 2, { timeout: 30000 }).catch(() => {});
  const pace = await page.evaluate(() => ({ made: window.made, span: performance.now() - window.runFrom }));
  check("a run is said at most once a second",
        pace.made >= 2 && pace.made <= Math.floor(pace.span / 1000) + 1,
        `${pace.made} announcements in ${pace.span.toFixed(0)} ms`);
  check("a run is said as it stands", /^line \d: /.test(await said(page)), await said(page));
  // The register the keyboard is on shows every change, but stays one element and is named anew
  // only with an announcement: a screen reader is not told of it at every frame.
  await page.focus("#List1");
  await press(page, "Home");
  const watched = await page.evaluate(async () => {
    const row = document.getElementById("List1-row0");
    const names = new Set(), texts = new Set();
    let same = true;
    const from = performance.now();
    // 2.5 s, or longer (up to 30 s) until a starved page has shown more than 10 values.
    while (performance.now() - from < 2500 ||
           (texts.size <= 10 && performance.now() - from < 30000)) {
      await new Promise((resolve) => setTimeout(resolve, 50));
      same &&= document.getElementById("List1-row0") === row;
      names.add(row.getAttribute("aria-label"));
      texts.add(row.textContent);
    }
    return { same, names: names.size, texts: texts.size, span: performance.now() - from };
  });
  check("a register rewritten by a run is named anew at most once a second",
        watched.same && watched.texts > 10 && watched.names <= Math.floor(watched.span / 1000) + 2,
        JSON.stringify(watched));
  await press(page, "F8");
  check("F8 pauses", (await page.$eval("#Button9", (b) => b.textContent)) === "Start It");
  await press(page, "F8");
  check("F8 resumes", (await page.$eval("#Button9", (b) => b.textContent)) === "Pause It");
  await page.click("#Button5");
  check("Halt is said at once", (await said(page)) === "halted", await said(page));
  await page.close();

  // A stall is said once, as the run stands still.
  page = await open("");
  await writeProgram(page, "stall", ["S(1)", "J(1,1,0)"]);
  await load(page, "stall.rm");
  await press(page, "F9", "Control");
  const stalled = "line 2: J(1,1,0), jump to 0. Stalled: a jump to line 0";
  await page.waitForFunction((t) => document.getElementById("announcement").textContent === t,
                             { timeout: 20000 }, stalled).catch(() => {});
  check("a stall is said", (await said(page)) === stalled, await said(page));
  await page.evaluate(() => {
    window.made = 0;
    new MutationObserver((records) => { window.made += records.length; })
        .observe(document.getElementById("announcement"), { childList: true });
  });
  await new Promise((resolve) => setTimeout(resolve, 1500));
  check("a stall is said once", (await page.evaluate(() => window.made)) === 0);
  await page.close();

  // Space on a focused button that disables itself leaves the focus on the one that takes over.
  page = await open("");
  await writeProgram(page, "three", ["S(1)", "S(1)", "S(1)"]);
  await load(page, "three.rm");
  const takeovers = [["Button7", "Button8"], ["Button8", "Button8"], ["Button8", "Button8"],
                     ["Button8", "Button7"], ["Button4", "Button9"]];
  for (const [pressed, expected] of takeovers) {
    await page.focus(`#${pressed}`);
    await press(page, "Space");
    await page.waitForFunction((id) => document.activeElement.id === id, { timeout: 20000 },
                               expected).catch(() => {});
    check(`Space on ${pressed} leaves the focus on ${expected}`,
          (await focused(page)) === expected, await focused(page));
  }
  await page.close();

  // The lists: options in view, the framed line current, the arrow keys moving the active and
  // selected row, and an active row out of view still there for a screen reader.
  page = await open("");
  await writeProgram(page, "long", Array.from({ length: 1000 }, () => "S(1)"));
  await load(page, "long.rm");
  await press(page, "F9", "Shift");
  await press(page, "F7");
  await page.focus("#List2");
  const listState = () => page.$eval("#List2", (e) => {
    const active = document.getElementById(e.getAttribute("aria-activedescendant"));
    const current = e.querySelector("[aria-current]");
    const selected = [...e.querySelectorAll("[aria-selected='true']")];
    return { active: active && `${active.getAttribute("aria-posinset")}/${active.getAttribute("aria-setsize")}`,
             current: current && current.getAttribute("aria-posinset"),
             selected: selected.map((o) => o.getAttribute("aria-posinset")).join(),
             roles: [...e.querySelectorAll(".row:not([aria-hidden])")].every((o) => o.getAttribute("role") === "option") };
  });
  const moves = [
    [null, { active: "2/1000", current: "2", selected: "" }],
    ["ArrowDown", { active: "3/1000", current: "2", selected: "3" }],
    // The framed line out of view is not there; the active row is, wherever it is.
    ["End", { active: "1000/1000", current: null, selected: "1000" }],
    ["PageUp", { active: "987/1000", current: null, selected: "987" }],
    ["Home", { active: "1/1000", current: "2", selected: "1" }],
    ["PageDown", { active: "14/1000", current: "2", selected: "14" }],
    ["ArrowUp", { active: "13/1000", current: "2", selected: "13" }],
    // A step makes the framed line active again; the selection stays the user's.
    ["F7", { active: "3/1000", current: "3", selected: "13" }],
  ];
  for (const [key, expected] of moves) {
    if (key) await press(page, key);
    const state = await listState();
    check(`the program list after ${key || "the focus"}`, state.roles &&
              state.active === expected.active && state.current === expected.current &&
              state.selected === expected.selected, JSON.stringify(state));
  }
  const ring = await page.$eval("#List2", (e) => [getComputedStyle(e).outlineColor,
      getComputedStyle(document.getElementById("window")).backgroundColor,
      getComputedStyle(e).outlineWidth]);
  check("a focused list's ring stands out by 3:1", contrast(ring[0], ring[1]) >= 3 &&
        parseFloat(ring[2]) >= 2, `${ring.join(" ")}: ${contrast(ring[0], ring[1]).toFixed(2)}:1`);
  await page.focus("#List1");
  await press(page, "ArrowDown");
  check("the arrow keys move in the register list",
        (await attribute(page, "#List1", "aria-activedescendant")) === "List1-row1" &&
            (await attribute(page, "#List1-row1", "aria-selected")) === "true");
  await page.close();

  // The menu bar: Alt and a letter opens a menu on its first item, the arrow keys move, Escape
  // closes to the title and then gives the focus back; one title at a time is in the Tab order.
  page = await open("?descriptor=multiply.rm");
  await page.focus("#Button6");
  const menuSteps = [
    [["Alt", "r"], "RunIt1", "Run"],
    [[null, "ArrowDown"], "StepOrRun1", "Run"],
    [[null, "ArrowUp"], "RunIt1", "Run"],
    [[null, "ArrowUp"], "Halt1", "Run"],
    [[null, "ArrowRight"], "About1", "Help"],
    [[null, "ArrowRight"], "Load1", "Program"],
    [[null, "Escape"], "title-Program", ""],
    [[null, "ArrowLeft"], "title-Help", ""],
    [[null, "Escape"], "Button6", ""],
  ];
  for (const [[modifier, key], expected, expanded] of menuSteps) {
    await press(page, key, modifier);
    const state = await page.$$eval("#menubar .title", (titles) => ({
      expanded: titles.filter((t) => t.getAttribute("aria-expanded") === "true")
          .map((t) => t.textContent).join(),
      roving: titles.filter((t) => t.tabIndex === 0).length,
    }));
    check(`the menu bar after ${modifier ? modifier + "+" : ""}${key}`,
          (await focused(page)) === expected && state.expanded === expanded && state.roving === 1,
          `${await focused(page)}, ${JSON.stringify(state)}`);
  }
  check("the menu titles say they open a menu",
        (await attribute(page, "#title-Run", "aria-haspopup")) === "menu");
  // Enter on an item runs it; the focus goes back to where it was.
  await press(page, "r", "Alt");
  await press(page, "ArrowDown");
  await press(page, "Enter");
  check("Enter on Step Or Run steps", (await said(page)) === "stepping from line 1: J(2,4,9)" &&
        (await focused(page)) === "Button6", `${await said(page)}, ${await focused(page)}`);
  await page.close();

  // The About box and the Open dialog keep Tab inside and give the focus back; the dialog's list
  // takes the arrow keys and Enter.
  page = await open("");
  await page.focus("#Button6");
  await press(page, "F1");
  await press(page, "Tab");
  await press(page, "Tab", "Shift");
  check("Tab stays on the About box's OK", (await focused(page)) === "boxOk");
  await press(page, "Escape");
  check("About gives the focus back", (await focused(page)) === "Button6", await focused(page));
  await press(page, "F3");
  const round = [];
  for (let i = 0; i < 8; ++i) {
    round.push(await focused(page));
    await press(page, "Tab");
  }
  check("Tab goes round the Open dialog",
        round.join() === "openName,openFolderButton,openAddButton,openAddFolderButton,openOk," +
                         "openCancel,openFiles,openName", round.join());
  await press(page, "Escape");
  check("the Open dialog gives the focus back", (await focused(page)) === "Button6" &&
        await page.$eval("#open", (e) => e.hidden));
  await press(page, "F3");
  await page.focus("#openFiles");
  const entries = await page.$$eval("#openFiles li", (els) => els.map((e) => e.textContent));
  const chosen = () => page.$eval("#openFiles", (e) =>
      document.getElementById(e.getAttribute("aria-activedescendant"))?.textContent);
  check("the dialog's list takes the focus on its first entry", (await chosen()) === entries[0]);
  await press(page, "End");
  check("End chooses the last file and names it", (await chosen()) === entries.at(-1) &&
        (await page.$eval("#openName", (e) => e.value)) === entries.at(-1));
  await press(page, "ArrowUp");
  await press(page, "Enter");
  await page.waitForFunction(() => document.getElementById("Label10").textContent !== "");
  check("Enter opens the chosen file", (await page.$eval("#Label8", (e) => e.textContent)) !== "" &&
        (await focused(page)) === "Button6", await focused(page));
  await page.close();
}
