// A file as the editor holds it: its text, and how to give the same bytes back. Files are read as
// UTF-8 when they are, byte for byte otherwise, and keep the line end they had (CR LF, the
// examples' own, for a new file), so that saving an unchanged file writes it back unchanged.
import { exists, read, joined, folderOf } from "./files.js";

const utf8 = new TextDecoder("utf-8", { fatal: true });

export function decode(bytes) {
  try {
    return { text: utf8.decode(bytes), bytewise: false };
  } catch {
    return { text: Array.from(bytes, (b) => String.fromCharCode(b)).join(""), bytewise: true };
  }
}

export function lineEnd(text) {
  const found = /\r\n|\r|\n/.exec(text);
  return found ? found[0] : "\r\n";
}

// A file of the page, or a new one: `path` may not exist yet.
export function openFile(path) {
  const bytes = path && exists(path) ? read(path) : new Uint8Array();
  const { text, bytewise } = decode(bytes);
  return { path, text, bytewise, lineEnd: lineEnd(text) };
}

// The bytes of `text` (whose lines CodeMirror ends with LF) as `file` writes them.
export function encode(file, text) {
  const lines = text.split("\n").join(file.lineEnd);
  if (!file.bytewise) return new TextEncoder().encode(lines);
  return Uint8Array.from(lines, (c) => c.charCodeAt(0) & 0xff);
}

// A descriptor's three lines: the module's name, the data form's and the program text's names.
export function descriptorLines(text) {
  const [module = "", data = "", program = ""] = text.split(/\r\n|\r|\n/);
  return { module, data, program };
}

// A name of the descriptor as the form resolves it, in the descriptor's folder.
export function resolved(descriptorPath, name) {
  if (name === "" || name.startsWith("/")) return name;
  return joined(folderOf(descriptorPath), name);
}
