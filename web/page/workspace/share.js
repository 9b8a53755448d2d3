// Programs handed on by link. The fragment "#quelvar=1." + base64url(deflate(JSON)) holds the
// descriptor's name and its files' bytes: JSON {"d": NAME.rm, "f": [[NAME, BYTES], ...]} with each
// byte as the character of that code (0 to 255). A fragment never reaches a server.
import { deflateSync, Inflate, strToU8, strFromU8 } from "fflate";

const PREFIX = "quelvar=1.";
// More than any course's files: a link that inflates past it is refused before it fills the memory.
const MOST = 64 << 20;

const base64url = (bytes) => btoa(strFromU8(bytes, true))
  .replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
const unbase64url = (text) => strToU8(atob(text.replace(/-/g, "+").replace(/_/g, "/")), true);

function inflated(bytes) {
  const chunks = [];
  let size = 0;
  const inflate = new Inflate((chunk) => {
    size += chunk.length;
    if (size > MOST) throw new Error("it holds more than 64 MB");
    chunks.push(chunk);
  });
  inflate.push(bytes, true);
  const whole = new Uint8Array(size);
  chunks.reduce((at, chunk) => { whole.set(chunk, at); return at + chunk.length; }, 0);
  return whole;
}

// A name a link may carry: a file in the folder it is opened in.
const plainName = (name) =>
  typeof name === "string" && name !== "" && name !== "." && name !== ".." && !/[/\0]/.test(name);

// `files` is [[name, bytes], ...], the descriptor first.
export function linkFor(files) {
  const json = JSON.stringify({ d: files[0][0], f: files.map(([n, b]) => [n, strFromU8(b, true)]) });
  return location.origin + location.pathname + "#" + PREFIX + base64url(deflateSync(strToU8(json)));
}

// The files of the link in `hash`, null when it holds none, or an Error when it cannot be read.
export function filesOf(hash) {
  if (!hash.startsWith("#" + PREFIX)) return null;
  try {
    const { d, f } = JSON.parse(strFromU8(inflated(unbase64url(hash.slice(1 + PREFIX.length)))));
    if (!Array.isArray(f) || !f.every((e) => Array.isArray(e) && plainName(e[0]) &&
                                            typeof e[1] === "string" && /^[\0-\xff]*$/.test(e[1]))) {
      throw new Error("its files are not named as files of one folder");
    }
    if (!f.some(([name]) => name === d)) throw new Error("it holds no descriptor");
    return { descriptor: d, files: f.map(([name, bytes]) => [name, strToU8(bytes, true)]) };
  } catch (error) {
    return new Error("This link cannot be read (" + (error.message || "it is damaged") +
                     "): it may have been cut short when it was copied.");
  }
}
