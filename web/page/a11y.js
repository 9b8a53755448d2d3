// What the page tells assistive technology and keyboard users (additions): the lists as listboxes
// whose framed line is current and whose rows the arrow keys move through, a polite live region
// for what a run does, a menu bar with a roving tabindex, and boxes and dialogs that keep the
// focus while they are open and give it back when they close.
"use strict";

// ---- The form's lists ----

// The framed row, the line that executes next: the last outlined one, as the window has it.
function framedRow(list) {
  return list.outlines.size === 0 ? -1 : Math.max(...list.outlines.keys());
}
function rowId(name, row) { return `${name}-row${row}`; }

function describeRow(row, name, r, list, current, text) {
  row.id = rowId(name, r);
  row.setAttribute("role", "option");
  row.setAttribute("aria-selected", String(r === list.selected));
  row.setAttribute("aria-setsize", list.count);
  row.setAttribute("aria-posinset", r + 1);
  if (r === current) row.setAttribute("aria-current", "true");
  else row.removeAttribute("aria-current");
  // The active row is named as it read when the keyboard or an announcement last came to it: a
  // register that a run rewrites at every tick is told again at most once a second.
  if (r === list.active) {
    list.activeName ??= text;
    row.setAttribute("aria-label", list.activeName);
  } else {
    row.removeAttribute("aria-label");
  }
}

// The row the keyboard goes to from `from` (-1: none yet) on `key`, or null for a key that does
// not move; `page` rows to a page.
function stepTo(key, from, count, page) {
  const to = { ArrowDown: from + 1, ArrowUp: from < 0 ? 0 : from - 1, Home: 0, End: count - 1,
               PageDown: Math.max(from, 0) + page, PageUp: from - page }[key];
  return to === undefined ? null : Math.min(Math.max(to, 0), count - 1);
}

// A row chosen by a click or a key is the user's selection, and the keyboard's row.
function selectRow(name, row) {
  const list = lists[name];
  list.selected = row;
  list.active = row;
  list.activeName = null;
  withText(name, (bytes, size) => Module._quelvar_select(bytes, size, row));
  const el = list.el;
  if (row * ROW < el.scrollTop) el.scrollTop = row * ROW;
  else if ((row + 1) * ROW > el.scrollTop + el.clientHeight) el.scrollTop = (row + 1) * ROW - el.clientHeight;
  renderList(name);
}

// With the keyboard focus, the list's active row is the framed line; below the last line, none.
function followFrame(name) {
  const list = lists[name];
  const current = framedRow(list);
  if (current < 0 || document.activeElement !== list.el) return false;
  list.active = current < list.count ? current : -1;
  return true;
}

function takeListKeys(name) {
  const list = lists[name];
  list.el.addEventListener("keydown", (event) => {
    if (event.altKey || event.ctrlKey || event.metaKey || list.count === 0) return;
    const page = Math.max(1, Math.floor(list.el.clientHeight / ROW) - 1);
    const to = stepTo(event.key, list.active, list.count, page);
    if (to === null) return;
    event.preventDefault();
    selectRow(name, to);
  });
  list.el.addEventListener("focus", () => {
    if (!followFrame(name) && list.active < 0 && list.count > 0) {
      list.active = Math.max(list.selected, 0);
    }
    list.activeName = null;
    renderList(name);
  });
}

// ---- What a run does, said politely ----

function announce(text) {
  for (const name in lists) {
    if (document.activeElement !== lists[name].el) continue;
    followFrame(name);
    lists[name].activeName = null;
    renderList(name);
  }
  // A new text node each time: the same words twice are said twice.
  document.getElementById("announcement").replaceChildren(text);
}

// ---- Focus ----

function focusable(el) {
  return el instanceof HTMLElement && el.isConnected && !el.disabled && el.tabIndex >= 0 &&
      el.getClientRects().length > 0;
}
function focusablesIn(root) {
  return [...root.querySelectorAll("button, input, [tabindex]")].filter(focusable);
}
function firstInForm() { return focusablesIn(document.getElementById("form"))[0]; }

// The box shown on top: a box over the question over the Open dialog.
function topOverlay() {
  return ["box", "ask", "open"].map((id) => document.getElementById(id)).find((o) => !o.hidden);
}

// Each open overlay and the element that had the focus before it.
const focusReturns = new Map();
function showOverlay(overlay, first) {
  if (overlay.hidden) focusReturns.set(overlay, document.activeElement);
  overlay.hidden = false;
  first.focus();
}
function hideOverlay(overlay) {
  overlay.hidden = true;
  const back = focusReturns.get(overlay);
  focusReturns.delete(overlay);
  const top = topOverlay();
  if (focusable(back)) back.focus();
  else (top ? focusablesIn(top)[0] : firstInForm())?.focus();
}

// The form hands the focus to a control: at once, or when the boxes over the window close.
function focusControl(el) {
  if (!topOverlay()) { el.focus(); return; }
  for (const [overlay, back] of focusReturns) {
    if (!(back instanceof HTMLElement) || !back.closest(".overlay")) focusReturns.set(overlay, el);
  }
}

// Tab and Shift+Tab go round the controls of the box on top, and nothing outside it takes the
// focus while it is open.
document.addEventListener("keydown", (event) => {
  const top = topOverlay();
  if (event.key !== "Tab" || !top) return;
  event.preventDefault();
  const all = focusablesIn(top);
  if (all.length === 0) return;
  const at = all.indexOf(document.activeElement);
  const step = event.shiftKey ? -1 : 1;
  all[at < 0 ? 0 : (at + step + all.length) % all.length].focus();
}, true);
document.addEventListener("focusin", (event) => {
  const top = topOverlay();
  if (top && !top.contains(event.target)) focusablesIn(top)[0]?.focus();
});

// ---- The Open dialog's list ----

function chooseEntry(li) {
  const list = document.getElementById("openFiles");
  for (const entry of list.children) {
    entry.classList.toggle("chosen", entry === li);
    entry.setAttribute("aria-selected", String(entry === li));
  }
  list.setAttribute("aria-activedescendant", li.id);
  li.scrollIntoView({ block: "nearest" });
  if (!li.classList.contains("folder")) document.getElementById("openName").value = li.dataset.name;
}
openFiles.addEventListener("focus", () => {
  if (!openFiles.querySelector(".chosen") && openFiles.firstElementChild) {
    chooseEntry(openFiles.firstElementChild);
  }
});
// Enter opens a folder or the chosen file.
openFiles.addEventListener("keydown", (event) => {
  const entries = [...openFiles.children];
  const chosen = openFiles.querySelector(".chosen");
  if (event.key === "Enter" && chosen) {
    event.preventDefault();
    if (chosen.classList.contains("folder")) {
      enterFolder(chosen.dataset.name);
      if (openFiles.firstElementChild) chooseEntry(openFiles.firstElementChild);
    } else {
      closeDialog(chosen.dataset.name);
    }
    return;
  }
  const page = Math.max(1, Math.floor(openFiles.clientHeight / (chosen?.offsetHeight || 13)) - 1);
  const to = stepTo(event.key, entries.indexOf(chosen), entries.length, page);
  if (to === null || entries.length === 0) return;
  event.preventDefault();
  chooseEntry(entries[to]);
});

// ---- The menu bar ----

const menubar = document.getElementById("menubar");
let menuReturn = null;  // what had the focus before the menu bar took it

// One menu title at a time is in the Tab order: the one that had the focus last.
function rovingMenuTitles(focused) {
  const titles = [...menubar.querySelectorAll(".title")];
  const kept = focused || titles.find((t) => t.tabIndex === 0) || titles[0];
  for (const title of titles) title.tabIndex = title === kept ? 0 : -1;
}
menubar.addEventListener("focusin", (event) => {
  if (!menubar.contains(event.relatedTarget)) menuReturn = event.relatedTarget;
  if (event.target.classList.contains("title")) rovingMenuTitles(event.target);
});
menubar.addEventListener("focusout", (event) => {
  if (!menubar.contains(event.relatedTarget)) showMenu(null, false);
});

// Opens `holder`'s menu (and closes any other), or closes them all; with `at`, focuses the item
// at that place (-1: the last).
function showMenu(holder, open, at) {
  for (const each of menubar.querySelectorAll(".menu")) {
    const shown = open && each === holder;
    each.classList.toggle("open", shown);
    each.querySelector(".title").setAttribute("aria-expanded", String(shown));
  }
  if (open && at !== undefined) [...holder.querySelectorAll(".item")].at(at)?.focus();
}

// Leaving the menu bar gives the focus back to where it was.
function leaveMenubar() {
  const back = menuReturn;
  menuReturn = null;
  if (focusable(back) && !menubar.contains(back)) back.focus();
  else firstInForm()?.focus();
}

// The keys of the menu bar, while it has the focus or a menu is open; true when it took the key.
// A shortcut still works while a title has the focus and its menu is closed.
function menuKey(event) {
  const open = menubar.querySelector(".menu.open");
  if (!open && !menubar.contains(document.activeElement)) return false;
  const holders = [...menubar.querySelectorAll(".menu")];
  const holder = open || document.activeElement.closest(".menu");
  const title = holder.querySelector(".title");
  const items = [...holder.querySelectorAll(".item")];
  const on = items.indexOf(document.activeElement);
  const beside = (step) => holders[(holders.indexOf(holder) + step + holders.length) % holders.length];
  switch (event.key) {
    case "ArrowRight":
    case "ArrowLeft": {
      const next = beside(event.key === "ArrowRight" ? 1 : -1);
      next.querySelector(".title").focus();
      if (open) showMenu(next, true, 0);
      break;
    }
    case "ArrowDown":
    case "ArrowUp": {
      const down = event.key === "ArrowDown";
      if (!open) showMenu(holder, true, down ? 0 : -1);
      else items[on < 0 ? (down ? 0 : items.length - 1)
                        : (on + (down ? 1 : -1) + items.length) % items.length].focus();
      break;
    }
    case "Home":
    case "End": {
      const end = event.key === "End";
      if (open) items.at(end ? -1 : 0).focus();
      else holders.at(end ? -1 : 0).querySelector(".title").focus();
      break;
    }
    case "Enter":
    case " ":
      if (on >= 0) items[on].click();
      else showMenu(holder, true, 0);
      break;
    case "Escape":
      if (open) {
        showMenu(holder, false);
        title.focus();
      } else {
        leaveMenubar();
      }
      break;
    case "Tab":
      if (open) {
        showMenu(holder, false);
        title.focus();
      }
      return true;
    default: {
      if (!open) return false;
      const letter = event.key.length === 1 ? event.key.toUpperCase() : "";
      const item = letter && holder.querySelector(`.item[data-mnemonic="${letter}"]`);
      if (item) item.click();
    }
  }
  event.preventDefault();
  return true;
}
