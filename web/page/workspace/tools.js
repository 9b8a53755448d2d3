// quelvar-run's --check and --cases, compiled into the page's wasm (src/platform/web/Workspace.cpp):
// each call answers at once with the two streams' texts and the exit status.
let answer = null;
window.QuelvarWorkspace = { reply(out, err, status) { answer = { out, err, status }; } };

function ask(name, ...texts) {
  const pass = (k, args) => k === texts.length
    ? Module["_" + name](...args)
    : withText(texts[k], (bytes, size) => pass(k + 1, [...args, bytes, size]));
  answer = null;
  pass(0, []);
  return answer;
}

// quelvar-run --check DESCRIPTOR, in the page's working folder.
export const check = (descriptor) => ask("quelvar_check", descriptor);
// quelvar-run --format json --cases CASES DESCRIPTOR.
export const grade = (descriptor, cases) => ask("quelvar_grade", descriptor, cases);
