#include "runner/Submissions.h"

#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <new>
#include <optional>
#include <sstream>

#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/CaseRun.h"
#include "runner/Cases.h"
#include "runner/GradeFormats.h"
#include "runner/GradeOptions.h"
#include "runner/JsonReport.h"
#include "runner/Paths.h"
#include "runner/Reference.h"

namespace quelvar::runner {
namespace {

// A descriptor to grade: as the user names it, and its absolute path (AbsolutePath), made before
// any load moves the working directory.
struct Submission {
  std::string shown;
  std::string path;
};

// One submission's grading as the summary shows it, and its report in the chosen format.
struct Graded {
  std::string name;
  Totals totals;
  std::string report;
};

CaseError NoCase(const std::string& shown) {
  return CaseError(shown + ": error: no case in the file: grading would check nothing");
}

// Grades the submission `given` (a descriptor as the user names it, or empty with --program),
// writing its report to `out`.
Totals GradeOne(const Options& base, const Submission& submission, GradeReport& report,
                std::ostream* trace, const std::string& title) {
  const auto start = std::chrono::steady_clock::now();
  const std::string& given = submission.shown;
  Options options = base;
  options.submissions.clear();
  options.descriptorAsGiven = given;
  options.descriptor = submission.path;
  if (options.reference) options.registers = std::string();  // a data form of its own each run
  Totals totals;
  const auto finish = [&] {
    totals.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report.End(totals);
    return totals;
  };
  std::optional<RunInputs> inputs;
  try {
    inputs.emplace(options);
  } catch (const std::exception& failure) {
    const std::string message = platform::ErrorBoxText(failure.what());
    report.Begin({{"descriptor", given}, {"dataForm", ""}, {"program", ""}});
    report.Unloadable(given, message);
    totals.unloadable = RunnerMessage(given, message);
    return finish();
  }
  report.Begin(FilesJson(*inputs));
  std::optional<platform::InputFile> file;
  std::optional<CaseReader> reader;
  std::optional<ReferenceCases> model;
  if (options.reference) {
    model.emplace(options, title);
  } else {
    file.emplace(*options.cases);
    reader.emplace(*file, options.casesAsGiven);
  }
  uint64_t k = 0;
  for (Case c; model ? model->Next(c) : reader->Next(c);) {
    const CaseResult result = RunCase(c, ++k, options, *inputs, title, trace);
    // A run that fails before its first line fails alike on every data form: the files are
    // at fault, not the program's answers.
    if (k == 1 && (!result.loaded || (result.end == BatchEnd::kFailed && result.lines == 0))) {
      report.Unloadable(result.loadFile, result.message);
      totals.unloadable = RunnerMessage(result.loadFile, result.message);
      return finish();
    }
    Count(totals, result);
    report.Case(result);
  }
  // The file may have been emptied since it was checked.
  if (k == 0) throw NoCase(options.casesAsGiven);
  return finish();
}

// The cases file read whole before any case runs, so that a bad line stops the grading at once.
void CheckCases(const Options& options) {
  bool any = false;
  platform::ReadConsistently(*options.cases, [&](ByteSource& source) {
    CaseReader reader(source, options.casesAsGiven);
    Case c;
    any = false;
    while (reader.Next(c)) any = true;
  });
  if (!any) throw NoCase(options.casesAsGiven);
}

bool Passed(const Totals& t) {
  return t.unloadable.empty() && t.passed == t.total;
}

std::string Csv(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string FirstFailure(const Totals& t) {
  return t.unloadable.empty() ? t.firstFailure : t.unloadable;
}

void PrintCsv(std::ostream& out, const std::vector<Graded>& rows) {
  out << "submission,passed,total,points,max_points,lines_executed,first_failure\n";
  for (const Graded& row : rows) {
    const Totals& t = row.totals;
    out << Csv(row.name) << ',' << t.passed << ',' << t.total << ',' << t.points << ','
        << t.maxPoints << ',' << t.lines << ',' << Csv(FirstFailure(t)) << '\n';
  }
}

void PrintTable(std::ostream& out, const std::vector<Graded>& rows) {
  std::vector<std::vector<std::string>> cells{
      {"submission", "passed", "points", "lines", "first failure"}};
  for (const Graded& row : rows) {
    const Totals& t = row.totals;
    cells.push_back({row.name, std::to_string(t.passed) + "/" + std::to_string(t.total),
                     std::to_string(t.points) + "/" + std::to_string(t.maxPoints),
                     std::to_string(t.lines), FirstFailure(t)});
  }
  std::vector<size_t> widths(cells.front().size(), 0);
  for (const auto& line : cells) {
    for (size_t k = 0; k < line.size(); ++k) widths[k] = std::max(widths[k], line[k].size());
  }
  for (const auto& line : cells) {
    std::string text;
    for (size_t k = 0; k < line.size(); ++k) {
      text += line[k];
      if (k + 1 < line.size()) text += std::string(widths[k] - line[k].size() + 2, ' ');
    }
    out << text.substr(0, text.find_last_not_of(' ') + 1) << '\n';
  }
  const auto passing =
      std::count_if(rows.begin(), rows.end(), [](const Graded& row) { return Passed(row.totals); });
  out << passing << "/" << rows.size() << " submissions pass every case\n";
}

nlohmann::json TotalsJson(const Totals& t) {
  return {{"passed", t.passed},
          {"total", t.total},
          {"points", t.points},
          {"maxPoints", t.maxPoints},
          {"lines", t.lines},
          {"wrapped", t.wrapped},
          {"firstFailure", t.firstFailure},
          {"unloadable", t.unloadable},
          {"customPoints", t.customPoints},
          {"seconds", t.seconds}};
}

Totals TotalsFrom(const nlohmann::json& j) {
  Totals t;
  t.passed = j["passed"];
  t.total = j["total"];
  t.points = j["points"];
  t.maxPoints = j["maxPoints"];
  t.lines = j["lines"];
  t.wrapped = j["wrapped"];
  t.firstFailure = j["firstFailure"];
  t.unloadable = j["unloadable"];
  t.customPoints = j["customPoints"];
  t.seconds = j["seconds"];
  return t;
}

// How many submissions are graded at once: one a core this process may run on.
size_t Workers() {
#ifdef __EMSCRIPTEN__
  return 1;  // the page has one process and grades one submission
#else
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof(set), &set) != 0) return 1;
  return static_cast<size_t>(std::max(1, CPU_COUNT(&set)));
#endif
}

// A child grading one submission, and what it has written so far.
struct Child {
  pid_t pid;
  int fd;
  size_t index;
  std::string bytes;
};

// In the child: grades, sends the totals and the report down `fd`, and leaves without running
// the parent's destructors or flushing its buffers.
[[noreturn]] void GradeInChild(const Options& options, const Submission& given, int fd,
                               const std::string& title) {
  int status = 0;
  try {
    std::ostringstream report;
    Totals totals;
    {
      const auto writer = MakeReport(options.format, report, true, options.reference.has_value());
      totals = GradeOne(options, given, *writer, nullptr, title);
    }
    nlohmann::json message = TotalsJson(totals);
    message["report"] = report.str();
    const std::vector<uint8_t> bytes = nlohmann::json::to_msgpack(message);
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = write(fd, bytes.data() + sent, bytes.size() - sent);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
  } catch (...) {
    status = 1;
  }
  _exit(status);
}

Graded Collect(Child& child, const std::string& name, Format format) {
  Graded graded{name, {}, {}};
  int status = 0;
  while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
  }
  try {
    const nlohmann::json message = nlohmann::json::from_msgpack(child.bytes);
    graded.totals = TotalsFrom(message);
    graded.report = message["report"];
  } catch (const nlohmann::json::exception&) {
    const std::string why = WIFSIGNALED(status)
                                ? "its grading ended on signal " + std::to_string(WTERMSIG(status))
                                : "its grading stopped before it ended";
    graded.totals.unloadable = RunnerMessage(name, why);
    // Its report in the format of the others, so that the whole stays one document.
    std::ostringstream report;
    const auto writer = MakeReport(format, report, true, false);
    writer->Begin({{"descriptor", name}, {"dataForm", ""}, {"program", ""}});
    writer->Unloadable(name, why);
    writer->End(graded.totals);
    graded.report = report.str();
  }
  return graded;
}

// Grades every submission, `Workers()` at a time, handing each to `done` in the order given.
void GradeEach(const Options& options, const std::vector<Submission>& list,
               const std::string& title, const std::function<void(Graded&)>& done) {
  const size_t workers = Workers();
  std::vector<Child> running;
  std::vector<std::optional<Graded>> finished(list.size());
  size_t next = 0;
  size_t emitted = 0;
  while (emitted < list.size()) {
    while (running.size() < workers && next < list.size()) {
      int ends[2];
      if (pipe(ends) != 0) throw std::runtime_error("quelvar-run: cannot make a pipe");
      const pid_t pid = fork();
      if (pid < 0) throw std::runtime_error("quelvar-run: cannot start a grading process");
      if (pid == 0) {
        close(ends[0]);
        GradeInChild(options, list[next], ends[1], title);
      }
      close(ends[1]);
      running.push_back({pid, ends[0], next++, {}});
    }
    std::vector<pollfd> polled;
    for (const Child& child : running) polled.push_back({child.fd, POLLIN, 0});
    if (poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR) {
      throw std::runtime_error("quelvar-run: cannot wait for the grading processes");
    }
    for (size_t k = running.size(); k-- > 0;) {
      if (polled[k].revents == 0) continue;
      char buffer[65536];
      const ssize_t n = read(running[k].fd, buffer, sizeof buffer);
      if (n > 0) {
        running[k].bytes.append(buffer, static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      close(running[k].fd);
      finished[running[k].index] =
          Collect(running[k], list[running[k].index].shown, options.format);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(k));
    }
    for (; emitted < list.size() && finished[emitted]; ++emitted) {
      done(*finished[emitted]);
      finished[emitted].reset();
    }
  }
}

int GradeMany(const Options& options, const Streams& io, const std::vector<Submission>& list) {
  if (list.empty()) {
    return Failed(options, io, "quelvar-run: no descriptor (.rm) among the submissions given", 1);
  }
  std::vector<Graded> rows;
  uint64_t k = 0;
  BeginMany(options.format, io.out.Stream());
  io.out.Flush();
  GradeEach(options, list, io.title, [&](Graded& graded) {
    BetweenMany(options.format, io.out.Stream(), ++k, graded.name, graded.report,
                Passed(graded.totals));
    graded.report.clear();
    rows.push_back(std::move(graded));
  });
  nlohmann::json summary = nlohmann::json::array();
  for (const Graded& row : rows) {
    nlohmann::json item = TotalsJson(row.totals);
    item["submission"] = row.name;
    summary.push_back(item);
  }
  EndMany(options.format, io.out.Stream(), rows.size(), summary);
  if (options.summaryCsv) {
    PrintCsv(io.out.Stream(), rows);
  } else if (options.format == Format::kText) {
    PrintTable(io.out.Stream(), rows);
  }
  const bool all =
      std::all_of(rows.begin(), rows.end(), [](const Graded& row) { return Passed(row.totals); });
  return all ? 0 : kCaseFailedStatus;
}

int GradeSingle(const Options& options, const Streams& io) {
  std::ostringstream discarded;
  std::ostream& out = options.summaryCsv ? discarded : io.out.Stream();
  const auto report = MakeReport(options.format, out, false, options.reference.has_value());
  const Totals totals = GradeOne(options, {options.descriptorAsGiven, options.descriptor}, *report,
                                 options.trace ? &io.err.Stream() : nullptr, io.title);
  if (options.summaryCsv) {
    PrintCsv(io.out.Stream(), {{options.descriptorAsGiven, totals, {}}});
  }
  if (!totals.unloadable.empty()) {
    io.err << totals.unloadable << '\n';
    return 1;
  }
  return totals.passed == totals.total ? 0 : kCaseFailedStatus;
}

}  // namespace

int GradeAll(const Options& options, const Streams& io) {
  const std::string& shown = options.cases ? options.casesAsGiven : options.referenceAsGiven;
  // Before any load moves the working directory.
  const bool many = ManySubmissions(options);
  std::vector<Submission> list;
  if (many) {
    for (const std::string& name : SubmissionList(options)) {
      list.push_back({name, AbsolutePath(name)});
    }
  }
  try {
    if (options.cases) CheckCases(options);
    if (options.reference) {
      // The model read once before any submission: a model that cannot be run stops it all.
      ReferenceCases model(options, io.title);
      Case c;
      model.Next(c);
    }
    return many ? GradeMany(options, io, list) : GradeSingle(options, io);
  } catch (const CaseError& bad) {
    return Failed(options, io, bad.what(), kUsageStatus);
  } catch (const std::bad_alloc&) {
    return Failed(options, io, shown + ": error: out of memory while reading the cases", 1);
  } catch (const std::exception& failure) {
    const std::string text = failure.what();
    if (text.rfind("quelvar-run: ", 0) == 0) return Failed(options, io, text, 1);
    return Failed(options, io, RunnerMessage(shown, platform::ErrorBoxText(text)), 1);
  }
}

}  // namespace quelvar::runner
