// quelvar-run against the yardstick (bench/Yardstick.cpp) and the start-up floor
// (bench/StartupFloor.c), side by side in one run, as processes.
//
//   engine_bench PATH/TO/quelvar-run PATH/TO/yardstick PATH/TO/startup_floor [ROUNDS]
//
// Speed: multiplication of 2000 by 2000 (16,010,002 lines), once with its work registers at
// R3-R5 of a data form of 5 values, once at R32765-R32767 of a data form of 32767 values, and
// once at R3-R5 past the end of a data form of 2 values (scratch registers; the yardstick, which
// has no such registers, is given the data form of 5 values).
// Each round runs both programs once, alternating; lines/s comes from the median CPU time (user
// plus system) of each, so the ratio holds on a busy machine.
// Start-up: a one-line program, run 200 times by each of the three, median CPU time and wall time
// a process. Every ratio is quelvar-run's time over the other's: below 1, quelvar-run is faster.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct Program {
  std::string name;
  fs::path descriptor;
  fs::path data;
  fs::path text;
  fs::path yardstickData;  // the data form the yardstick reads
};

Program WriteProgram(const fs::path& folder, const std::string& name, int registers,
                     const std::string& text, const std::string& firstValues) {
  std::string data = firstValues;
  for (int i = static_cast<int>(std::count(firstValues.begin(), firstValues.end(), '\n')) + 1;
       i <= registers; ++i) {
    data += "0\r\n";
  }
  Program program{name, folder / (name + ".rm"), folder / (name + "-data.txt"),
                  folder / (name + "-program.txt"), folder / (name + "-data.txt")};
  WriteFile(program.data, data);
  WriteFile(program.text, text);
  WriteFile(program.descriptor, name + "\r\n" + program.data.filename().string() + "\r\n" +
                                    program.text.filename().string() + "\r\n");
  return program;
}

// The multiplication of examples/, with its result, counter and inner counter at r, c and i.
std::string Multiplication(int r, int c, int i) {
  const auto R = [](int n) { return std::to_string(n); };
  return "J(2," + R(c) + ",9)\r\nZ(" + R(i) + ")\r\nJ(1," + R(i) + ",7)\r\nS(" + R(r) + ")\r\nS(" +
         R(i) + ")\r\nJ(1,1,3)\r\nS(" + R(c) + ")\r\nJ(1,1,1)\r\nT(" + R(r) + ",1)\r\n";
}

struct Timing {
  double cpu;   // seconds, user + system
  double wall;  // seconds
};

// Runs `argv` with its standard output to /dev/null. A run that fails measures nothing (a floor
// that cannot open a file is cheap): it throws, naming the command and how it ended.
Timing RunProcess(const std::vector<std::string>& argv) {
  std::fflush(stdout);  // or the child would write what the parent still holds
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string command;
    for (const std::string& arg : argv) command += " " + arg;
    throw std::runtime_error((WIFEXITED(status)
                                  ? "exit status " + std::to_string(WEXITSTATUS(status))
                                  : "signal " + std::to_string(WTERMSIG(status))) +
                             " from" + command);
  }
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return {seconds(usage.ru_utime) + seconds(usage.ru_stime), wall.count()};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Pair {
  Timing quelvar;
  Timing other;
};

// Runs the two command lines `rounds` times each, alternating.
Pair Measure(const std::vector<std::string>& quelvar, const std::vector<std::string>& other,
             int rounds) {
  std::vector<double> qCpu, qWall, oCpu, oWall;
  for (int round = 0; round < rounds; ++round) {
    const Timing q = RunProcess(quelvar);
    const Timing o = RunProcess(other);
    qCpu.push_back(q.cpu), qWall.push_back(q.wall), oCpu.push_back(o.cpu), oWall.push_back(o.wall);
  }
  return {{Median(qCpu), Median(qWall)}, {Median(oCpu), Median(oWall)}};
}

void PrintStartUp(const char* against, const Pair& pair) {
  std::printf("%-34s %8.2f ms CPU %8.2f ms CPU %7.2f\n",
              (std::string("one-line program vs ") + against).c_str(), pair.quelvar.cpu * 1e3,
              pair.other.cpu * 1e3, pair.quelvar.cpu / pair.other.cpu);
  std::printf("%-34s %8.2f ms     %8.2f ms     %7.2f\n", "  wall time", pair.quelvar.wall * 1e3,
              pair.other.wall * 1e3, pair.quelvar.wall / pair.other.wall);
}

// The speed rows and the start-up rows, with the programs written into `folder`.
void RunBenchmarks(const std::string& runner, const std::string& yardstick,
                   const std::string& floor, int rounds, const fs::path& folder) {
  constexpr double kLines = 16'010'002;  // multiplication of 2000 by 2000, both programs
  Program scratch =
      WriteProgram(folder, "mul-scratch", 2, Multiplication(3, 4, 5), "2000\r\n2000\r\n");
  scratch.yardstickData = folder / "mul-data.txt";
  const Program programs[] = {
      WriteProgram(folder, "mul", 5, Multiplication(3, 4, 5), "2000\r\n2000\r\n"),
      WriteProgram(folder, "mul-high", 32767, Multiplication(32765, 32766, 32767),
                   "2000\r\n2000\r\n"),
      scratch,
  };
  std::printf("%-34s %16s %16s %7s\n", "", "quelvar-run", "other", "ratio");
  std::printf("%-34s (every ratio: quelvar-run's CPU time / the other's; below 1 it is faster)\n",
              "");
  for (const Program& program : programs) {
    const Pair pair =
        Measure({runner, program.descriptor.string()},
                {yardstick, program.yardstickData.string(), program.text.string()}, rounds);
    std::printf("%-34s %9.0f M/s %5.1f %9.0f M/s %5.1f %7.2f   (yardstick; M lines/s, CPU ms)\n",
                (program.name + ", 2000 x 2000").c_str(), kLines / pair.quelvar.cpu / 1e6,
                pair.quelvar.cpu * 1e3, kLines / pair.other.cpu / 1e6, pair.other.cpu * 1e3,
                pair.quelvar.cpu / pair.other.cpu);
  }
  const Program one = WriteProgram(folder, "one", 1, "Z(1)\r\n", "5\r\n");
  const std::vector<std::string> runOne = {runner, one.descriptor.string()};
  PrintStartUp("yardstick",
               Measure(runOne, {yardstick, one.yardstickData.string(), one.text.string()}, 200));
  PrintStartUp("start-up floor", Measure(runOne, {floor, one.descriptor.string()}, 200));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr,
                 "usage: engine_bench PATH/TO/quelvar-run PATH/TO/yardstick PATH/TO/startup_floor "
                 "[ROUNDS]\n");
    return 2;
  }
  const std::string runner = fs::absolute(argv[1]).string();
  const std::string yardstick = fs::absolute(argv[2]).string();
  const std::string floor = fs::absolute(argv[3]).string();
  const int rounds = argc == 5 ? std::max(1, std::atoi(argv[4])) : 11;
  const fs::path folder =
      fs::temp_directory_path() / ("quelvar-engine-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);

  try {
    RunBenchmarks(runner, yardstick, floor, rounds, folder);
  } catch (const std::exception& failure) {
    fs::remove_all(folder);
    std::fprintf(stderr, "engine_bench: %s\n", failure.what());
    return 1;
  }
  fs::remove_all(folder);
  return 0;
}
