#include "runner/FlowDiagram.h"

#include <cstdint>

#include "text/ProgramLine.h"

namespace quelvar::runner {
namespace {

// A dot string's contents: its quote and backslash escaped, control bytes as spaces. The graph's
// charset is Latin-1, so that any other byte is a character.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  }
  return quoted + '"';
}

std::string Node(int64_t line, int64_t count) {
  if (line <= 0) return "stall";
  if (line > count) return "end";
  return "L" + std::to_string(line);
}

}  // namespace

std::string FlowDiagram(const std::vector<std::string>& lines) {
  const auto count = static_cast<int64_t>(lines.size());
  std::string nodes, edges;
  bool stalls = false;
  const auto edge = [&](const std::string& from, const std::string& to, std::string_view label) {
    edges += "  " + from + " -> " + to;
    if (!label.empty()) edges += " [label=" + Quoted(label) + "]";
    edges += ";\n";
    stalls = stalls || to == "stall";
  };
  edge("start", Node(1, count), "");
  for (int64_t k = 1; k <= count; ++k) {
    const std::string& text = lines[k - 1];
    const std::string self = Node(k, count);
    const std::string label = Quoted(std::to_string(k) + ": " + text);
    const ProgramLine line = DecodeProgramLine(text);
    switch (line.op) {
      case ProgramLine::Op::kNothing:
        nodes += "  " + self + " [shape=octagon, style=dashed, label=" + label + "];\n";
        edge(self, self, "stays");
        break;
      case ProgramLine::Op::kJump: {
        nodes += "  " + self + " [shape=diamond, label=" + label + "];\n";
        const std::string m = "R" + std::to_string(line.m), n = "R" + std::to_string(line.n);
        edge(self, Node(line.q, count), m + " = " + n);
        edge(self, Node(k + 1, count), m + " != " + n);
        break;
      }
      default:
        nodes += "  " + self + " [shape=box, label=" + label + "];\n";
        edge(self, Node(k + 1, count), "");
    }
  }
  std::string dot = "digraph program {\n  charset=\"latin1\";\n  node [fontname=\"monospace\"];\n";
  dot += "  start [shape=oval];\n  end [shape=doublecircle];\n";
  if (stalls) dot += "  stall [shape=octagon];\n";
  return dot + nodes + edges + "}\n";
}

}  // namespace quelvar::runner
