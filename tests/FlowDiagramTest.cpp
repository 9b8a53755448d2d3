// quelvar-run --format dot: the flow diagram, read back by Graphviz itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

struct Diagram {
  std::set<std::string> decisions, stalls;  // nodes drawn as J lines, as lines the machine stays on
  std::string edges;  // sorted "FROM>TO" for an exit that goes on, "FROM=TO" for a jump
};

// Lays the diagram out with Graphviz and reads its nodes and edges back from the JSON.
Diagram ReadBack(const std::string& dot) {
  const TempDir dir;
  const std::string file = dir.Write("program.dot", dot);
  const Outcome laid = RunProgram(QUELVAR_DOT, "-Tjson " + file);
  EXPECT_EQ(laid.status, 0) << laid.err << dot;
  EXPECT_EQ(laid.err, "") << dot;
  const nlohmann::json graph = nlohmann::json::parse(laid.out);
  Diagram diagram;
  std::vector<std::string> names;
  for (const nlohmann::json& node : graph["objects"]) {
    const std::string name = node["name"];
    names.push_back(name);
    if (node.value("shape", "") == "diamond") diagram.decisions.insert(name);
    if (node.value("shape", "") == "octagon" && name != "stall") diagram.stalls.insert(name);
  }
  std::vector<std::string> edges;
  for (const nlohmann::json& edge : graph.value("edges", nlohmann::json::array())) {
    const std::string label = edge.value("label", "");
    const bool jump = label.find(" = ") != std::string::npos;
    edges.push_back(names[edge["tail"]] + (jump ? "=" : ">") + names[edge["head"]]);
  }
  std::sort(edges.begin(), edges.end());
  for (const std::string& edge : edges) diagram.edges += (diagram.edges.empty() ? "" : " ") + edge;
  return diagram;
}

std::string Sorted(const std::string& edges) {
  std::istringstream in(edges);
  std::vector<std::string> all;
  for (std::string edge; in >> edge;) all.push_back(edge);
  std::sort(all.begin(), all.end());
  std::string joined;
  for (const std::string& edge : all) joined += (joined.empty() ? "" : " ") + edge;
  return joined;
}

TEST(FlowDiagram, DrawsEveryExampleWithItsNodesAndEdges) {
  const struct {
    const char* descriptor;
    const char* edges;
  } examples[] = {
      {"add.rm", "start>L1 L1=end L1>L2 L2>L3 L3>L4 L4=L1 L4>end"},
      {"divide.rm",
       "start>L1 L1>L2 L2=L7 L2>L3 L3=L9 L3>L4 L4>L5 L5>L6 L6=L2 L6>L7 L7>L8 L8=L1 L8>L9 L9>L10 "
       "L10>end"},
      {"equal.rm", "start>L1 L1=L4 L1>L2 L2>L3 L3=end L3>L4 L4>L5 L5>end"},
      {"factorial.rm",
       "start>L1 L1>L2 L2=L16 L2>L3 L3>L4 L4>L5 L5>L6 L6=L14 L6>L7 L7>L8 L8=L12 L8>L9 L9>L10 "
       "L10>L11 L11=L8 L11>L12 L12>L13 L13=L6 L13>L14 L14>L15 L15=L2 L15>L16 L16>end"},
      {"fibonacci.rm",
       "start>L1 L1>L2 L2>L3 L3>L4 L4>L5 L5=L15 L5>L6 L6>L7 L7>L8 L8=L12 L8>L9 L9>L10 L10>L11 "
       "L11=L8 L11>L12 L12>L13 L13>L14 L14=L5 L14>L15 L15>end"},
      {"forever.rm", "start>L1 L1>L2 L2=L1 L2>end"},
      {"less.rm",
       "start>L1 L1=L5 L1>L2 L2=L7 L2>L3 L3>L4 L4=L1 L4>L5 L5>L6 L6=end L6>L7 L7>L8 L8>end"},
      {"maximum.rm", "start>L1 L1=L5 L1>L2 L2=end L2>L3 L3>L4 L4=L1 L4>L5 L5>end"},
      {"monus.rm",
       "start>L1 L1>L2 L2>L3 L3=L9 L3>L4 L4=L11 L4>L5 L5>L6 L6>L7 L7>L8 L8=L3 L8>L9 L9>L10 L10=end "
       "L10>L11 L11>end"},
      {"multiply.rm",
       "start>L1 L1=L9 L1>L2 L2>L3 L3=L7 L3>L4 L4>L5 L5>L6 L6=L3 L6>L7 L7>L8 L8=L1 L8>L9 L9>end"},
      {"predecessor.rm", "start>L1 L1=end L1>L2 L2>L3 L3=L7 L3>L4 L4>L5 L5>L6 L6=L3 L6>L7 L7>end"},
  };
  for (const auto& example : examples) {
    const Outcome outcome = RunQuelvarRun("--format dot " + Example(example.descriptor));
    ASSERT_EQ(outcome.status, 0) << example.descriptor << outcome.err;
    const Diagram diagram = ReadBack(outcome.out);
    EXPECT_EQ(diagram.edges, Sorted(example.edges)) << example.descriptor;
    // The decisions are exactly the J lines: the nodes with an "=" exit.
    std::set<std::string> jumps;
    std::istringstream in(example.edges);
    for (std::string edge; in >> edge;) {
      if (edge.find('=') != std::string::npos) jumps.insert(edge.substr(0, edge.find('=')));
    }
    EXPECT_EQ(diagram.decisions, jumps) << example.descriptor;
    EXPECT_TRUE(diagram.stalls.empty()) << example.descriptor;
  }
}

// Each line read as the machine reads it: operands as the conversion makes them, a jump to 0 or
// below stalls, a line that is none of Z, S, T and J keeps the machine on it, and any byte of a
// line's text reaches the diagram intact.
TEST(FlowDiagram, ReadsOddLinesAsTheMachineDoes) {
  const struct {
    const char* program;
    const char* edges;
    const char* stalls;
  } rows[] = {
      {"", "start>end", ""},
      {"J(1,1,0)\nJ(1,2,-4)\n", "start>L1 L1=stall L1>L2 L2=stall L2>end", ""},
      {"J(1,1,99)\nj(1,1,1)\nS(1\n", "start>L1 L1=end L1>L2 L2>L2 L3>end", "L2"},
      {"J(1, 1,2)\nX \"q\\\" \xe9\n", "start>L1 L1=L2 L1>L2 L2>L2", "L2"},
      {"J(1,1,2,3)\nJ(1,1\nT(1,2)\n", "start>L1 L1=L2 L1>L2 L2=stall L2>L3 L3>end", ""},
  };
  for (const auto& row : rows) {
    const TempDir dir;
    const Outcome outcome = RunQuelvarRun("--format dot --registers 1 --program " +
                                          dir.Write("program.txt", row.program));
    ASSERT_EQ(outcome.status, 0) << row.program << outcome.err;
    const Diagram diagram = ReadBack(outcome.out);
    EXPECT_EQ(diagram.edges, Sorted(row.edges)) << row.program;
    std::string stalls;
    for (const std::string& node : diagram.stalls) stalls += node;
    EXPECT_EQ(stalls, row.stalls) << row.program;
  }
}

}  // namespace
}  // namespace quelvar::test
