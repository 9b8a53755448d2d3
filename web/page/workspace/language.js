// The program text as the editor colours it, read as the machine reads it: a line is Z, S, T or J
// by its first character alone (upper case), and any other line does nothing.
import { StreamLanguage, HighlightStyle, syntaxHighlighting } from "@codemirror/language";
import { tags } from "@lezer/highlight";

const program = StreamLanguage.define({
  name: "quelvar-program",
  token(stream) {
    if (stream.sol()) {
      if (stream.match(/^[ZSTJ]/)) return "keyword";
      stream.skipToEnd();
      return "comment";
    }
    if (stream.match(/^-?\d+/)) return "number";
    if (stream.match(/^[(),]/)) return "punctuation";
    stream.next();
    return null;
  },
});

const colours = HighlightStyle.define([
  { tag: tags.keyword, color: "#0033b3", fontWeight: "bold" },
  { tag: tags.number, color: "#1a7f37" },
  { tag: tags.punctuation, color: "#444" },
  { tag: tags.comment, color: "#6e6e6e" },
]);

export const programLanguage = [program, syntaxHighlighting(colours)];
