// The page's files as the workspace sees them: paths in the emscripten file system that the form
// reads, the examples as they were bundled, and a copy of every other file, or changed example, in
// the browser's IndexedDB, so that they outlive a reload. Nothing leaves the browser.
import { zipSync } from "fflate";

const DB = "quelvar-workspace";
const STORE = "files";
// The folders the page's files live in; the rest of the file system is emscripten's own.
const KEPT = ["/examples", "/folders", "/links"];

export const joined = (folder, name) => (folder === "/" ? "" : folder) + "/" + name;
export const folderOf = (path) => path.slice(0, path.lastIndexOf("/")) || "/";
export const baseName = (path) => path.slice(path.lastIndexOf("/") + 1);

export function exists(path) {
  const found = Module.FS.analyzePath(path);
  return found.exists && !Module.FS.isDir(found.object.mode);
}
export const read = (path) => Module.FS.readFile(path);
export function write(path, bytes) {
  Module.FS.mkdirTree(folderOf(path));
  Module.FS.writeFile(path, bytes);
}

// Every file under the kept folders, path to bytes.
export function snapshot() {
  const FS = Module.FS;
  const files = new Map();
  const walk = (folder) => {
    for (const name of FS.readdir(folder)) {
      if (name === "." || name === "..") continue;
      const path = joined(folder, name);
      if (FS.isDir(FS.stat(path).mode)) walk(path); else files.set(path, FS.readFile(path));
    }
  };
  for (const folder of KEPT) if (FS.analyzePath(folder).exists) walk(folder);
  return files;
}

const same = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);

function database() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DB, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}
// Runs `use` on the store in one transaction; resolves to what `use` returned once it is done.
async function transaction(mode, use) {
  const db = await database();
  return new Promise((resolve, reject) => {
    const t = db.transaction(STORE, mode);
    const result = use(t.objectStore(STORE));
    t.oncomplete = () => { db.close(); resolve(result); };
    t.onerror = t.onabort = () => { db.close(); reject(t.error); };
  });
}

// The files kept by an earlier visit, as [path, bytes] pairs (both lists are in the keys' order).
export async function stored() {
  const { keys, values } = await transaction("readonly", (s) => ({ keys: s.getAllKeys(), values: s.getAll() }));
  return keys.result.map((key, i) => [key, values.result[i]]);
}

// The examples as bundled, taken before any kept file is written over them.
let bundled = new Map();
export function takeBundled() { bundled = snapshot(); }

// Keeps every file of the page's folders that is not a bundled example as it was bundled, the
// uploads of the Open dialog included; called by the workspace whenever it writes a file. One
// at a time, in order; resolves to false when the browser would not keep them.
let keeping = Promise.resolve();
export function keep() {
  const files = [...snapshot()].filter(([path, bytes]) => !bundled.has(path) || !same(bundled.get(path), bytes));
  keeping = keeping.then(() => transaction("readwrite", (s) => {
    s.clear();
    for (const [path, bytes] of files) s.put(bytes, path);
  })).then(() => true, () => false);
  return keeping;
}

// The bundled examples that differ from the files now in their place.
export const changedExamples = () =>
  [...bundled].filter(([path, bytes]) => !exists(path) || !same(read(path), bytes)).map(([p]) => p);
export function restoreExamples() { for (const [path, bytes] of bundled) write(path, bytes); }

// The kept folders as a zip, each file under its path.
export function zipped() {
  const tree = {};
  for (const [path, bytes] of snapshot()) tree[path.slice(1)] = bytes;
  return zipSync(tree, { level: 6 });
}
