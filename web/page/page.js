// The page's half of Quelvar's browser toolkit: it builds the controls the wasm form describes,
// shows the rows of a list that are in view, draws the current-line frame, runs the menu, the
// keys, the open dialog and the boxes, and drives the timer from the page's clock.
"use strict";

const ROW = 13;
const KIND = { button: 0, label: 1, list: 2, bevel: 3, image: 4 };
const lists = {};

// While a box or a dialog is open, the window takes no commands.
function modal() { return document.querySelector(".overlay:not([hidden])") !== null; }

// Runs `use` with `text` as UTF-8 bytes on the wasm heap, and its size in bytes. The heap, not the
// stack: a name may be of any length, and it goes whole, NUL included.
function withText(text, use) {
  const size = Module.lengthBytesUTF8(text);
  const bytes = Module._malloc(size + 1);
  if (bytes === 0) throw new Error("Not enough memory for a text of " + size + " bytes");
  try {
    Module.stringToUTF8(text, bytes, size + 1);
    return use(bytes, size);
  } finally {
    Module._free(bytes);
  }
}
function call(name, text) { withText(text, (bytes, size) => Module["_" + name](bytes, size)); }

// The rows of a list in view, and the frame on any of them. Each row's edges are put on whole
// device pixels, wherever the list stands on the page and whatever the devicePixelRatio, so that
// a frame is exact and never blends into its neighbours. The rows are a listbox's options, the
// framed line the current one; the active row (the keyboard's) is there even out of view.
function renderList(name) {
  const list = lists[name];
  const first = Math.floor(list.el.scrollTop / ROW);
  const shown = Math.ceil(list.el.clientHeight / ROW) + 1;
  list.rows.style.height = (list.count + 1) * ROW + "px";
  // The active row stays the same element, so that a screen reader is not told of a new one at
  // every frame of a run.
  const kept = list.active >= 0 ? document.getElementById(rowId(name, list.active)) : null;
  list.rows.textContent = "";
  const ratio = window.devicePixelRatio || 1;
  const snap = (v) => Math.round(v * ratio) / ratio;
  const box = list.rows.getBoundingClientRect();
  const current = framedRow(list);
  const drawn = [];
  for (let r = first; r < first + shown && r <= list.count; ++r) drawn.push(r);
  if (list.active >= 0 && !drawn.includes(list.active)) {
    if (list.active < first) drawn.unshift(list.active); else drawn.push(list.active);
  }
  for (const r of drawn) {
    const outline = list.outlines.get(r);
    if (r === list.count && !outline) continue;
    const row = r === list.active && kept ? kept : document.createElement("div");
    row.className = "row" + (r === list.selected ? " selected" : "");
    const top = snap(box.top + r * ROW);
    row.style.top = top - box.top + "px";
    row.style.height = snap(box.top + (r + 1) * ROW) - top + "px";
    row.style.left = snap(box.left) - box.left + "px";
    row.style.width = snap(box.right) - snap(box.left) + "px";
    row.dataset.row = r;
    if (r < list.count) {
      const text = withText(name, (list, length) => UTF8ToString(
          Module._quelvar_row(list, length, r), Module._quelvar_row_size(list, length, r)));
      if (row.textContent !== text) row.textContent = text;
      describeRow(row, name, r, list, current, text);
    } else {
      row.setAttribute("aria-hidden", "true");
    }
    // One logical pixel, as a whole number of device pixels.
    row.style.borderWidth = Math.max(1, Math.round(ratio)) / ratio + "px";
    row.style.borderColor = outline || "";
    if (outline) row.classList.add("framed");
    list.rows.appendChild(row);
  }
  if (list.active >= 0) list.el.setAttribute("aria-activedescendant", rowId(name, list.active));
  else list.el.removeAttribute("aria-activedescendant");
}

// A caption with its mnemonic letter underlined.
function marked(caption, mnemonic) {
  if (mnemonic < 0) return caption;
  return caption.slice(0, mnemonic) + "<u>" + caption[mnemonic] + "</u>" + caption.slice(mnemonic + 1);
}

// A name in a folder of the page's file system.
function joined(folder, name) { return (folder === "/" ? "" : folder) + "/" + name; }

// A folder opened through the File System Access API, where the browser has it, is copied with
// its subfolders into a folder of the page's own, /folders/NAME, and again before every Run It
// and Step Or Run, so that edits made in an editor take effect as on the desktop.
let openedFolder = null;  // { handle, path }
async function copyFolder(handle, path) {
  Module.FS.mkdirTree(path);
  for await (const [name, entry] of handle.entries()) {
    if (entry.kind === "directory") {
      await copyFolder(entry, joined(path, name));
    } else {
      const file = await entry.getFile();
      Module.FS.writeFile(joined(path, name), new Uint8Array(await file.arrayBuffer()));
    }
  }
}
const rereads = new Set(["RunIt1", "StepOrRun1", "Button4", "Button7"]);

// A menu command, or a button, as the page starts it: Load opens the page's dialog first.
async function command(name) {
  if (name === "Load1" || name === "Button6") { openDialog(); return; }
  if (openedFolder && rereads.has(name)) await copyFolder(openedFolder.handle, openedFolder.path);
  call(name.startsWith("Button") ? "quelvar_click" : "quelvar_menu", name);
}

const pending = new Set();
function scheduleRender(name) {
  if (pending.size === 0) requestAnimationFrame(() => {
    for (const n of pending) renderList(n);
    pending.clear();
  });
  pending.add(name);
}

const QuelvarPage = {
  create(name, kind, left, top, width, height, text, enabled, visible, accessible) {
    let el;
    if (kind === KIND.button) {
      el = document.createElement("button");
      el.textContent = text;
      el.disabled = !enabled;
      el.addEventListener("click", () => { if (!modal()) command(name); });
    } else if (kind === KIND.label) {
      el = document.createElement("span");
      el.className = "label";
      el.textContent = text;
    } else if (kind === KIND.list) {
      el = document.createElement("div");
      el.className = "list";
      el.tabIndex = 0;
      el.setAttribute("role", "listbox");
      const rows = document.createElement("div");
      rows.className = "rows";
      el.appendChild(rows);
      // `active`: the row the keyboard is on, -1 for none.
      // `activeName`: what the active row is called (null: its text at the next drawing).
      lists[name] = { el, rows, count: 0, outlines: new Map(), selected: -1, active: -1,
                      activeName: null };
      el.addEventListener("scroll", () => scheduleRender(name));
      el.addEventListener("click", (event) => {
        const row = event.target.dataset ? Number(event.target.dataset.row) : NaN;
        if (!Number.isNaN(row) && row < lists[name].count) selectRow(name, row);
      });
      takeListKeys(name);
    } else if (kind === KIND.bevel) {
      el = document.createElement("div");
      el.className = "bevel";
      el.setAttribute("role", "separator");
    } else {
      el = document.createElement("img");
      el.src = "logo.svg";
      el.alt = accessible;
    }
    el.id = name;
    el.classList.add("control");
    el.style.left = left + "px";
    el.style.top = top + "px";
    if (kind !== KIND.label) {
      el.style.width = width + "px";
      el.style.height = height + "px";
    }
    if (!visible) el.hidden = true;
    if (kind !== KIND.label) el.setAttribute("aria-label", accessible || text);
    document.getElementById("form").appendChild(el);
  },
  addMenu(menu, mnemonic) {
    const holder = document.createElement("div");
    holder.id = "menu-" + menu;
    holder.className = "menu";
    holder.setAttribute("role", "none");
    holder.dataset.mnemonic = menu[mnemonic].toUpperCase();
    const title = document.createElement("div");
    title.id = "title-" + menu;
    title.className = "title";
    title.setAttribute("role", "menuitem");
    title.setAttribute("aria-haspopup", "menu");
    title.setAttribute("aria-expanded", "false");
    title.innerHTML = "<span>" + marked(menu, mnemonic) + "</span>";
    const items = document.createElement("div");
    items.className = "items";
    items.setAttribute("role", "menu");
    items.setAttribute("aria-labelledby", title.id);
    holder.append(title, items);
    title.addEventListener("click", () => {
      if (!modal()) showMenu(holder, !holder.classList.contains("open"));
    });
    document.getElementById("menubar").appendChild(holder);
    rovingMenuTitles();
  },
  addMenuItem(name, menu, caption, mnemonic, shortcut) {
    const holder = document.getElementById("menu-" + menu);
    const items = holder.querySelector(".items");
    const item = document.createElement("div");
    if (caption === "-") {
      item.className = "separator";
      item.setAttribute("role", "separator");
    } else {
      item.className = "item";
      item.id = name;
      item.setAttribute("role", "menuitem");
      item.tabIndex = -1;
      if (mnemonic >= 0) item.dataset.mnemonic = caption[mnemonic].toUpperCase();
      item.innerHTML = "<span>" + marked(caption, mnemonic) + "</span><span aria-hidden=\"true\">" +
          shortcut + "</span>";
      if (shortcut) item.setAttribute("aria-keyshortcuts", shortcut.replace("Ctrl+", "Control+"));
      if (shortcut === "F6") item.title = "F6 may be kept by the browser: use this menu or Halt";
      item.addEventListener("click", (event) => {
        event.stopPropagation();
        showMenu(holder, false);
        leaveMenubar();
        if (!modal()) command(name);
      });
    }
    items.appendChild(item);
  },
  setText(name, text) { document.getElementById(name).textContent = text; },
  setEnabled(name, enabled) { document.getElementById(name).disabled = !enabled; },
  hasFocus(name) { return document.activeElement === document.getElementById(name); },
  focus(name) { focusControl(document.getElementById(name)); },
  placeInTabOrder(name) { document.getElementById("form").appendChild(document.getElementById(name)); },
  listChanged(name, count, cleared) {
    const list = lists[name];
    list.count = count;
    if (cleared) { list.outlines.clear(); list.selected = -1; list.active = -1; list.activeName = null; }
    if (list.active >= count) list.active = -1;
    scheduleRender(name);
  },
  outline(name, row, colour) {
    if (colour) lists[name].outlines.set(row, colour); else lists[name].outlines.delete(row);
    scheduleRender(name);
  },
  repaintList(name) { lists[name].outlines.clear(); renderList(name); },
  // A box that comes while another is open waits for its turn: no message is lost.
  showBox(caption, text, error) {
    boxes.push({ caption, text, error });
    if (boxes.length === 1) showFirstBox();
  },
  setTitle(title) { document.title = title; },
  announce(text) { announce(text); },
};

const boxes = [];  // the box shown first, then those waiting
function showFirstBox() {
  const { caption, text, error } = boxes[0];
  document.getElementById("boxCaption").textContent = caption;
  document.getElementById("boxText").textContent = text;
  document.getElementById("box").dataset.error = error ? "1" : "0";
  showOverlay(document.getElementById("box"), document.getElementById("boxOk"));
}
document.getElementById("boxOk").addEventListener("click", () => {
  boxes.shift();
  if (boxes.length > 0) showFirstBox();
  else hideOverlay(document.getElementById("box"));
});

// The open dialog: a folder of the page's file system (the working directory when it opens), its
// subfolders and descriptors in the order of their names, a typed name, files added from the
// computer. Load runs once it is closed, with the name chosen or as cancelled.
let dialogFolder = "/";
const byName = new Intl.Collator(undefined, { numeric: true }).compare;
function openDialog() {
  dialogFolder = Module.FS.cwd();
  showFolder();
  const last = UTF8ToString(Module._quelvar_file_name());
  document.getElementById("openName").value = last.split("/").pop();
  showOverlay(document.getElementById("open"), document.getElementById("openName"));
}
function showFolder() {
  const FS = Module.FS;
  const isFolder = (name) => {
    try { return FS.isDir(FS.stat(joined(dialogFolder, name)).mode); } catch { return false; }
  };
  const names = FS.readdir(dialogFolder).filter((n) => n !== "." && n !== "..");
  const folders = names.filter(isFolder).sort(byName);
  if (dialogFolder !== "/") folders.unshift("..");
  const files = names.filter((n) => n.endsWith(".rm") && !isFolder(n)).sort(byName);
  const list = document.getElementById("openFiles");
  list.textContent = "";
  list.removeAttribute("aria-activedescendant");
  for (const n of folders) fileEntry(n, true);
  for (const n of files) fileEntry(n, false);
  document.getElementById("openFolder").textContent = dialogFolder;
}
// An entry of the dialog's list, an option of its listbox.
function fileEntry(name, folder) {
  const list = document.getElementById("openFiles");
  const li = document.createElement("li");
  li.textContent = folder ? name + "/" : name;
  li.id = "openFile" + list.children.length;
  li.dataset.name = name;
  li.setAttribute("role", "option");
  li.setAttribute("aria-selected", "false");
  if (folder) li.className = "folder";
  list.appendChild(li);
}
// A folder opens at a click, a file is chosen, and opened at a double click.
const openFiles = document.getElementById("openFiles");
openFiles.addEventListener("click", (event) => {
  const li = event.target.closest("li");
  if (li && li.classList.contains("folder")) enterFolder(li.dataset.name);
  else if (li) chooseEntry(li);
});
openFiles.addEventListener("dblclick", (event) => {
  const li = event.target.closest("li");
  if (li && !li.classList.contains("folder")) closeDialog(li.dataset.name);
});
function enterFolder(n) {
  dialogFolder = n === ".." ? dialogFolder.slice(0, dialogFolder.lastIndexOf("/")) || "/"
                            : joined(dialogFolder, n);
  showFolder();
}
// A name typed or chosen is taken in the dialog's folder.
function closeDialog(name) {
  hideOverlay(document.getElementById("open"));
  call("quelvar_load", name === "" || name.startsWith("/") ? name : joined(dialogFolder, name));
}
document.getElementById("openOk").addEventListener("click",
    () => closeDialog(document.getElementById("openName").value));
document.getElementById("openCancel").addEventListener("click", () => closeDialog(""));
document.getElementById("openName").addEventListener("keydown", (event) => {
  if (event.key === "Enter") closeDialog(event.target.value);
  if (event.key === "Escape") closeDialog("");
  event.stopPropagation();
});

// A question with two answers, over the dialog: resolves to true for Replace.
function askReplace(text) {
  const ask = document.getElementById("ask");
  document.getElementById("askText").textContent = text;
  showOverlay(ask, document.getElementById("askKeep"));
  return new Promise((resolve) => {
    const answer = (replace) => () => {
      hideOverlay(ask);
      document.getElementById("askReplace").onclick = null;
      document.getElementById("askKeep").onclick = null;
      resolve(replace);
    };
    document.getElementById("askReplace").onclick = answer(true);
    document.getElementById("askKeep").onclick = answer(false);
  });
}

// Copies files from the computer into the dialog's folder, each at the place `placeOf` gives it
// there: a folder comes with its subfolders. A file that is already there is replaced only when
// the user says so; Keep adds only the files that are new. A file cannot take a folder's place,
// nor a folder a file's: such files are not added, and a box says which.
async function addFiles(files, placeOf) {
  const FS = Module.FS;
  const isFile = (path) => {
    const found = FS.analyzePath(path);
    return found.exists && !FS.isDir(found.object.mode);
  };
  const folder = dialogFolder;
  const added = [...files].map((file) => ({ file, name: placeOf(file) }));
  for (const each of added) each.path = joined(folder, each.name);
  const taken = added.filter(({ path }) => isFile(path)).map(({ name }) => name);
  const shown = (names) => names.slice(0, 5).join(", ") + (names.length > 5 ? ", ..." : "");
  const replace = taken.length === 0 || await askReplace(taken.length === 1
      ? `${taken[0]} is already in ${folder}. Replace it?`
      : `${taken.length} files are already in ${folder}: ${shown(taken)}. Replace them?`);
  const refused = [];
  for (const { file, name, path } of added) {
    if (!replace && isFile(path)) continue;
    const bytes = new Uint8Array(await file.arrayBuffer());
    try {
      FS.mkdirTree(path.slice(0, path.lastIndexOf("/")));
      FS.writeFile(path, bytes);
    } catch (error) {
      if (!(error instanceof FS.ErrnoError)) throw error;
      refused.push(name);
    }
  }
  showFolder();
  if (refused.length > 0) {
    QuelvarPage.showBox(document.title, "A file and a folder cannot have the same name: " +
                        `${shown(refused)} not added to ${folder}.`, true);
  }
}
document.getElementById("openAddButton").addEventListener("click",
    () => document.getElementById("openAdd").click());
document.getElementById("openAddFolderButton").addEventListener("click",
    () => document.getElementById("openAddFolder").click());
// The input is emptied once read, so that adding the same file again, after editing it, is seen.
document.getElementById("openAdd").addEventListener("change", async (event) => {
  await addFiles(event.target.files, (file) => file.name);
  event.target.value = "";
});
document.getElementById("openAddFolder").addEventListener("change", async (event) => {
  await addFiles(event.target.files, (file) => file.webkitRelativePath);
  event.target.value = "";
});
if (window.showDirectoryPicker) {
  const button = document.getElementById("openFolderButton");
  button.hidden = false;
  document.querySelector("#open .hint").textContent =
      "A folder opened here is read again at every Run It and Step Or Run.";
  button.addEventListener("click", async () => {
    const handle = await window.showDirectoryPicker();
    openedFolder = { handle, path: joined("/folders", handle.name) };
    await copyFolder(handle, openedFolder.path);
    dialogFolder = openedFolder.path;
    showFolder();
  });
}

// Keys: F1 to F12 and letters by their virtual-key codes, with Shift 1, Alt 2, Ctrl 4.
document.addEventListener("keydown", (event) => {
  if (modal()) {
    if (!document.getElementById("box").hidden && (event.key === "Enter" || event.key === "Escape")) {
      document.getElementById("boxOk").click();
      event.preventDefault();
    } else if (!document.getElementById("ask").hidden && event.key === "Escape") {
      document.getElementById("askKeep").click();
    } else if (!document.getElementById("open").hidden && event.key === "Escape") {
      closeDialog("");
    }
    return;
  }
  // Alt and a menu's letter opens it; the menu bar then takes the keys (a letter picks an item,
  // Escape closes).
  const letter = event.key.length === 1 ? event.key.toUpperCase() : "";
  if (event.altKey && letter) {
    const menu = document.querySelector(`#menubar .menu[data-mnemonic="${letter}"]`);
    if (menu) {
      showMenu(menu, true, 0);
      event.preventDefault();
      return;
    }
  }
  if (menuKey(event)) return;
  let key = 0;
  const f = /^F(\d+)$/.exec(event.key);
  if (f) key = 111 + Number(f[1]);
  else if (event.key.length === 1) key = event.key.toUpperCase().charCodeAt(0);
  if (!key || ["Shift", "Control", "Alt", "Meta"].includes(event.key)) return;
  const shift = (event.shiftKey ? 1 : 0) | (event.altKey ? 2 : 0) | (event.ctrlKey ? 4 : 0);
  if (key === 114 && shift === 0) { event.preventDefault(); openDialog(); return; }
  if (openedFolder && key === 120 && (shift === 4 || shift === 1)) {
    event.preventDefault();
    command(shift === 4 ? "RunIt1" : "StepOrRun1");
    return;
  }
  const focused = document.activeElement;
  const focus = focused && focused.classList.contains("control") ? focused.id : "";
  if (f || shift & 4) event.preventDefault();
  withText(focus, (bytes, size) => Module._quelvar_key(key, shift, bytes, size));
});

// A change of size or of devicePixelRatio (zoom, another screen) places the rows again.
function renderAll() { for (const name in lists) scheduleRender(name); }
window.addEventListener("resize", renderAll);
function watchRatio() {
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener("change", () => {
    renderAll();
    watchRatio();
  }, { once: true });
}
watchRatio();

// The timer: each animation frame, and a 4 ms interval for when frames are scarce, deliver the
// ticks that are due.
function frame() {
  Module._quelvar_frame(performance.now());
  requestAnimationFrame(frame);
}

// Opened as a file, the page cannot fetch its program: it says how to serve it instead.
if (location.protocol === "file:") {
  document.getElementById("served").hidden = false;
  document.getElementById("window").hidden = true;
}

var Module = {
  onRuntimeInitialized() {
    Module.FS.chdir("/examples");
    Module._quelvar_start();
    requestAnimationFrame(frame);
    setInterval(() => Module._quelvar_frame(performance.now()), 4);
    const descriptor = new URLSearchParams(location.search).get("descriptor");
    if (descriptor) call("quelvar_load", descriptor);
    document.body.dataset.ready = "1";
  },
};
