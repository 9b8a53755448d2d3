// A yardstick, not part of Quelvar: the smallest fast interpreter of the same machine, to measure
// quelvar-run against. It reads a data form and a program text of plain lines (Z(n), S(n),
// T(m,n), J(m,n,q), decimal operands, registers 1 and up), decodes them once, and runs them with
// computed goto over the decoded lines, counting lines as quelvar-run does.
//
//   yardstick DATA.txt PROGRAM.txt
//
// Prints each register of the data form as "R<i> -> <v>" and "Lines executed: N".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Line {
  const void* code;
  int32_t a, b, target;
};

std::vector<char*> ReadLines(const char* path) {
  std::vector<char*> lines;
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return lines;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
    char* line = static_cast<char*>(std::malloc(sizeof buffer));
    int j = 0;
    for (int i = 0; buffer[i] != '\0' && buffer[i] != '\r' && buffer[i] != '\n'; ++i) {
      line[j++] = buffer[i];
    }
    line[j] = '\0';
    lines.push_back(line);
  }
  std::fclose(file);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::vector<char*> data = ReadLines(argv[1]);
  const std::vector<char*> text = ReadLines(argv[2]);
  std::vector<int16_t> regs(data.size() + 1);
  for (size_t i = 0; i < data.size(); ++i) regs[i + 1] = static_cast<int16_t>(std::atoi(data[i]));

  const int32_t count = static_cast<int32_t>(text.size());
  std::vector<Line> program(count + 2, Line{&&end, 0, 0, 0});
  for (int32_t k = 1; k <= count; ++k) {
    const char* t = text[k - 1];
    char* p = nullptr;
    Line& line = program[k];
    line.a = static_cast<int32_t>(std::strtol(t + 2, &p, 10));
    if (t[0] == 'Z') line.code = &&zero;
    if (t[0] == 'S') line.code = &&successor;
    if (t[0] == 'T') {
      line.code = &&transfer;
      line.b = static_cast<int32_t>(std::strtol(p + 1, &p, 10));
    }
    if (t[0] == 'J') {
      line.code = &&jump;
      line.b = static_cast<int32_t>(std::strtol(p + 1, &p, 10));
      line.target = static_cast<int32_t>(std::strtol(p + 1, &p, 10));
    }
  }

  int16_t* const r = regs.data();
  const Line* const first = program.data();
  const Line* s = first + 1;
  uint64_t lines = 0;
  goto * s->code;
zero:
  ++lines;
  r[s->a] = 0;
  ++s;
  goto * s->code;
successor:
  ++lines;
  r[s->a] = static_cast<int16_t>(r[s->a] + 1);
  ++s;
  goto * s->code;
transfer:
  ++lines;
  r[s->b] = r[s->a];
  ++s;
  goto * s->code;
jump:
  ++lines;
  s = r[s->a] == r[s->b] ? first + s->target : s + 1;
  goto * s->code;
end:
  for (size_t i = 1; i < regs.size(); ++i) std::printf("R%zu -> %d\n", i, regs[i]);
  std::printf("Lines executed: %llu\n", static_cast<unsigned long long>(lines));
  return 0;
}
