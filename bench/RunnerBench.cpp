// Lines per second of a batch run, and its peak memory over short and long runs.
//
//   runner_bench PATH/TO/quelvar-run
//
// Speed: multiplication of 180 by 180 (32400, no 16-bit overflow) with a data form of 5
// registers and with one of 32767, timed from the first tick to the end of the run, best of 5.
// Memory: the peak resident size of quelvar-run on a program that never halts, stopped after
// 1 million and after 100 million lines.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "runner/BatchRun.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The multiplication program of examples/, over a data form of `registers` registers.
std::string WriteMultiplication(const fs::path& folder, int registers) {
  std::string data = "180\r\n180\r\n";
  for (int i = 3; i <= registers; ++i) data += "0\r\n";
  WriteFile(folder / "data.txt", data);
  WriteFile(folder / "prog.txt",
            "J(2,4,9)\r\nZ(5)\r\nJ(1,5,7)\r\nS(3)\r\nS(5)\r\nJ(1,1,3)\r\nS(4)\r\nJ(1,1,1)\r\n"
            "T(3,1)\r\n");
  WriteFile(folder / "mul.rm", "Multiply\r\ndata.txt\r\nprog.txt\r\n");
  return (folder / "mul.rm").string();
}

void MeasureSpeed(const fs::path& folder, int registers) {
  const std::string descriptor = WriteMultiplication(folder, registers);
  double best = 0;
  uint64_t lines = 0;
  for (int round = 0; round < 5; ++round) {
    quelvar::BatchRun run("Runner_bench");
    if (!run.Start(descriptor)) {
      std::printf("failed: %s\n", run.Failure().c_str());
      return;
    }
    const auto start = std::chrono::steady_clock::now();
    run.Finish(UINT64_MAX);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    lines = run.LinesExecuted();
    best = std::max(best, static_cast<double>(lines - 1) / took.count());
  }
  std::printf("multiplication 180 x 180, %5d registers: %llu lines, %.1f million lines/s\n",
              registers, static_cast<unsigned long long>(lines), best / 1e6);
}

// Peak resident kilobytes of quelvar-run stopped after `lines` lines of a program that never halts.
long PeakKilobytes(const char* runner, const fs::path& folder, uint64_t lines) {
  WriteFile(folder / "zero.txt", "0\r\n");
  WriteFile(folder / "loop.txt", "S(1)\r\nJ(1,1,1)\r\n");
  WriteFile(folder / "loop.rm", "Loop\r\nzero.txt\r\nloop.txt\r\n");
  const std::string limit = std::to_string(lines);
  const std::string descriptor = (folder / "loop.rm").string();
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    execl(runner, runner, "--max-lines", limit.c_str(), descriptor.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 4) return -1;  // 4: stopped at the limit
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: runner_bench PATH/TO/quelvar-run\n");
    return 2;
  }
  // Loading moves the working directory, as the window's dialog does, so the runner's path is
  // made absolute first.
  const std::string runner = fs::absolute(argv[1]).string();
  const fs::path folder =
      fs::temp_directory_path() / ("quelvar-runner-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  MeasureSpeed(folder, 5);
  MeasureSpeed(folder, 32767);
  for (const uint64_t lines : {1'000'000ull, 100'000'000ull}) {
    std::printf("peak memory, %11llu lines: %ld kB\n", static_cast<unsigned long long>(lines),
                PeakKilobytes(runner.c_str(), folder, lines));
  }
  fs::remove_all(folder);
  return 0;
}
