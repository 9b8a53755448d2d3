#pragma once

#include <string>
#include <vector>

namespace quelvar::runner {

// The program as a Graphviz flow diagram, each line read as the machine reads it. Node Lk is
// line k; "start" leads to line 1; a J line is a decision whose "=" exit goes to its line and
// whose other exit goes on; a jump past the last line, and the last line's way on, go to "end";
// a jump to line 0 or below goes to "stall"; a line that does nothing, where the machine stays,
// is drawn as a stall with an edge to itself.
std::string FlowDiagram(const std::vector<std::string>& lines);

}  // namespace quelvar::runner
