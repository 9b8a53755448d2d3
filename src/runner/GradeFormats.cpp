#include "runner/GradeFormats.h"

#include <sstream>
#include <string_view>

#include "runner/JsonReport.h"

namespace quelvar::runner {
namespace {

constexpr const char* kWrapNote = "a register wrapped from 32767 to -32768";

std::string OutcomeText(const CaseResult& r) {
  return r.end == BatchEnd::kFinished ? "end" : OutcomeName(r.end);
}

std::string ExpectText(const CaseResult& r) {
  switch (r.c.expect) {
    case Expect::kStalls:
      return "stalls";
    case Expect::kRunsForever:
      return "runs-forever";
    default: {
      std::string text;
      for (const auto& [reg, value] : r.c.expected) {
        text +=
            (text.empty() ? "" : " ") + ("R" + std::to_string(reg)) + "=" + std::to_string(value);
      }
      return text;
    }
  }
}

std::string GotText(const CaseResult& r) {
  std::string text = OutcomeText(r);
  if (!r.message.empty()) text += " (" + r.message + ")";
  for (const Named& n : r.named) {
    text += " R" + std::to_string(n.reg) + "=" + std::to_string(n.got);
  }
  return text;
}

// What a student reads of a case: the inputs, what was expected and what the run did.
std::string Detail(const CaseResult& r) {
  std::string text =
      "inputs: " + r.c.values + "\nexpected: " + ExpectText(r) + "\ngot: " + GotText(r) + "\n";
  if (!r.pass) text += "FAIL: " + r.verdict + "\n";
  if (r.wrapped) text += std::string(kWrapNote) + "\n";
  return text;
}

nlohmann::json RegisterMap(const CaseResult& r, bool got) {
  nlohmann::json map = nlohmann::json::object();
  if (!got) {
    for (const auto& [reg, value] : r.c.expected) map["R" + std::to_string(reg)] = value;
  }
  for (const Named& n : r.named) {
    if (got) map["R" + std::to_string(n.reg)] = n.got;
  }
  return map;
}

std::string SummaryText(const Totals& t) {
  std::string text = std::to_string(t.passed) + "/" + std::to_string(t.total) + " cases pass";
  if (t.customPoints) {
    text += ", " + std::to_string(t.points) + "/" + std::to_string(t.maxPoints) + " points";
  }
  return text;
}

class TextReport final : public GradeReport {
 public:
  TextReport(std::ostream& out, bool reference) : out_(out), reference_(reference) {}
  void Begin(const nlohmann::json&) override {}
  void Unloadable(const std::string&, const std::string&) override {}
  void Case(const CaseResult& r) override {
    const std::string wrap = r.wrapped ? std::string(" (") + kWrapNote + ")" : "";
    if (!reference_) {
      out_ << r.title << ": " << (r.pass ? "pass" : "FAIL: " + FailLine(r)) << wrap << '\n';
    } else if (!r.pass && !differs_) {
      out_ << "first difference: " << FailLine(r) << " (the model's)" << wrap << '\n';
      differs_ = true;
    }
  }
  void End(const Totals& t) override {
    if (!t.unloadable.empty()) return;
    if (!reference_) {
      out_ << SummaryText(t) << '\n';
    } else {
      out_ << t.passed << "/" << t.total << " data forms agree with the model"
           << (t.wrapped ? std::string(" (") + kWrapNote + " in a run)" : "") << '\n';
    }
  }

 private:
  std::ostream& out_;
  bool reference_;
  bool differs_ = false;
};

class JsonReport final : public GradeReport {
 public:
  JsonReport(std::ostream& out, bool nested) : out_(out), nested_(nested) {}
  void Begin(const nlohmann::json& files) override {
    const std::string text = JsonText({{"descriptor", files["descriptor"]}, {"files", files}});
    out_ << text.substr(0, text.size() - 1) << ",\"cases\":[";
  }
  void Unloadable(const std::string& file, const std::string& message) override {
    failure_ = {{"outcome", "failure"}, {"message", message}, {"file", file}};
  }
  void Case(const CaseResult& r) override {
    nlohmann::json c = r.run;
    c["case"] = r.number;
    c["name"] = r.title;
    c["line"] = r.c.line;
    c["inputs"] = CaseValues(r.c.values);
    c["expect"] = r.c.expect == Expect::kRegisters ? "registers" : ExpectText(r);
    c["expected"] = RegisterMap(r, false);
    c["got"] = RegisterMap(r, true);
    c["pass"] = r.pass;
    c["points"] = r.pass ? r.c.points : 0;
    c["maxPoints"] = r.c.points;
    c["hidden"] = r.c.hidden;
    c["wrapped"] = r.wrapped;
    if (!r.pass) c["verdict"] = r.verdict;
    nlohmann::json mismatches = nlohmann::json::array();
    for (const Named& n : r.named) {
      if (n.got != n.expected) {
        mismatches.push_back({{"register", n.reg}, {"expected", n.expected}, {"actual", n.got}});
      }
    }
    c["mismatches"] = mismatches;
    out_ << (r.number > 1 ? "," : "") << JsonText(c);
  }
  void End(const Totals& t) override {
    nlohmann::json totals = {{"passed", t.passed},       {"total", t.total},
                             {"points", t.points},       {"maxPoints", t.maxPoints},
                             {"linesExecuted", t.lines}, {"wrapped", t.wrapped}};
    for (const auto& [key, value] : failure_.items()) totals[key] = value;
    if (!t.firstFailure.empty()) totals["firstFailure"] = t.firstFailure;
    out_ << "]," << JsonText(totals).substr(1) << (nested_ ? "" : "\n");
  }

 private:
  std::ostream& out_;
  bool nested_;
  nlohmann::json failure_ = nlohmann::json::object();
};

// Gradescope's results/results.json.
class GradescopeReport final : public GradeReport {
 public:
  explicit GradescopeReport(std::ostream& out) : out_(out) {}
  void Begin(const nlohmann::json&) override { out_ << "{\"tests\":["; }
  void Unloadable(const std::string& file, const std::string& message) override {
    output_ = RunnerMessage(file, message);
  }
  void Case(const CaseResult& r) override {
    nlohmann::json tags = nlohmann::json::array();
    if (r.wrapped) tags.push_back("wrapped");
    const nlohmann::json test = {
        {"score", r.pass ? r.c.points : 0},
        {"max_score", r.c.points},
        {"name", r.title},
        {"number", std::to_string(r.number)},
        {"output", Detail(r)},
        {"tags", tags},
        {"visibility", r.c.hidden ? "hidden" : "visible"},
    };
    out_ << (r.number > 1 ? "," : "") << JsonText(test);
  }
  void End(const Totals& t) override {
    const nlohmann::json rest = {
        {"score", t.points},
        {"execution_time", t.seconds},
        {"output", output_.empty() ? SummaryText(t) : output_},
        {"visibility", "visible"},
    };
    out_ << "]," << JsonText(rest).substr(1) << '\n';
  }

 private:
  std::ostream& out_;
  std::string output_;
};

// PrairieLearn's external grading results.json.
class PrairieLearnReport final : public GradeReport {
 public:
  explicit PrairieLearnReport(std::ostream& out) : out_(out) {}
  void Begin(const nlohmann::json&) override { out_ << "{\"tests\":["; }
  void Unloadable(const std::string& file, const std::string& message) override {
    failure_ = RunnerMessage(file, message);
  }
  void Case(const CaseResult& r) override {
    // PrairieLearn shows every test to the student: a hidden case says only whether it passed.
    const std::string message = r.pass ? "pass" : r.c.hidden ? "FAIL" : "FAIL: " + r.verdict;
    const nlohmann::json test = {
        {"name", r.title},
        {"description", r.c.hidden ? "a hidden case" : "inputs " + r.c.values},
        {"points", r.pass ? r.c.points : 0},
        {"max_points", r.c.points},
        {"message", message + (r.wrapped && !r.c.hidden ? std::string("; ") + kWrapNote : "")},
        {"output", r.c.hidden ? std::string() : Detail(r)},
    };
    out_ << (r.number > 1 ? "," : "") << JsonText(test);
  }
  void End(const Totals& t) override {
    nlohmann::json rest = {
        {"gradable", failure_.empty()},
        {"score", t.maxPoints == 0 ? (t.passed == t.total ? 1.0 : 0.0)
                                   : static_cast<double>(t.points) / t.maxPoints},
        {"message", failure_.empty() ? SummaryText(t) : failure_},
        {"output", ""},
    };
    if (!failure_.empty()) rest["format_errors"] = nlohmann::json::array({failure_});
    out_ << "]," << JsonText(rest).substr(1) << '\n';
  }

 private:
  std::ostream& out_;
  std::string failure_;
};

// XML 1.0 text: UTF-8 as ReversibleUtf8 makes it, the control characters XML forbids held as
// the same private-use characters, and the markup characters escaped.
std::string Xml(std::string_view bytes) {
  std::string safe;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      safe += "\xEF\x9C";
      safe += static_cast<char>(0x80 + b);
    } else {
      safe += c;
    }
  }
  std::string text;
  for (const char c : ReversibleUtf8(safe)) {
    switch (c) {
      case '&':
        text += "&amp;";
        break;
      case '<':
        text += "&lt;";
        break;
      case '>':
        text += "&gt;";
        break;
      case '"':
        text += "&quot;";
        break;
      default:
        text += c;
    }
  }
  return text;
}

class JunitReport final : public GradeReport {
 public:
  JunitReport(std::ostream& out, bool nested) : out_(out), nested_(nested) {}
  void Begin(const nlohmann::json& files) override {
    name_ = files["descriptor"].get<std::string>();
    if (name_.empty()) name_ = files["program"].get<std::string>();
  }
  void Unloadable(const std::string& file, const std::string& message) override {
    cases_ << "    <testcase name=\"load\" classname=\"" << Xml(name_) << "\">\n"
           << "      <error message=\"" << Xml(RunnerMessage(file, message))
           << "\" type=\"load\"/>\n"
           << "    </testcase>\n";
  }
  void Case(const CaseResult& r) override {
    cases_ << "    <testcase name=\"" << Xml(r.title) << "\" classname=\"" << Xml(name_) << "\">\n";
    if (r.wrapped) {
      cases_ << "      <properties><property name=\"wrapped\" value=\"true\"/></properties>\n";
    }
    if (!r.pass) {
      cases_ << "      <failure message=\"" << Xml(r.verdict) << "\" type=\"" << OutcomeText(r)
             << "\">" << Xml(Detail(r)) << "</failure>\n";
    }
    cases_ << "      <system-out>" << Xml(Detail(r)) << "</system-out>\n    </testcase>\n";
  }
  void End(const Totals& t) override {
    if (!nested_) out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    const bool error = !t.unloadable.empty();
    out_ << "  <testsuite name=\"" << Xml(name_) << "\" tests=\"" << (error ? 1 : t.total)
         << "\" failures=\"" << t.total - t.passed << "\" errors=\"" << error
         << "\" skipped=\"0\" time=\"" << t.seconds << "\">\n"
         << cases_.str() << "  </testsuite>\n";
    if (!nested_) out_ << "</testsuites>\n";
  }

 private:
  std::ostream& out_;
  bool nested_;
  std::string name_;
  std::ostringstream cases_;
};

// TAP 14, with a YAML block of each case's inputs, expected and got; the plan comes last.
class TapReport final : public GradeReport {
 public:
  TapReport(std::ostream& out, bool nested) : out_(out), nested_(nested) {}
  void Begin(const nlohmann::json&) override {
    if (!nested_) out_ << "TAP version 14\n";
  }
  void Unloadable(const std::string& file, const std::string& message) override {
    out_ << "not ok 1 - load\n  ---\n  message: " << JsonText(RunnerMessage(file, message))
         << "\n  ...\n";
  }
  void Case(const CaseResult& r) override {
    std::string title = r.title;
    for (char& c : title) {
      if (c == '#' || c == '\n' || c == '\r') c = ' ';
    }
    out_ << (r.pass ? "ok " : "not ok ") << r.number << " - " << title << "\n  ---\n"
         << "  inputs: " << JsonText(CaseValues(r.c.values)) << "\n"
         << "  expected: " << JsonText(ExpectText(r)) << "\n"
         << "  got: " << JsonText(GotText(r)) << "\n"
         << "  outcome: " << JsonText(OutcomeText(r)) << "\n"
         << "  points: " << (r.pass ? r.c.points : 0) << "\n"
         << "  max_points: " << r.c.points << "\n";
    if (!r.pass) out_ << "  message: " << JsonText(r.verdict) << "\n";
    if (r.wrapped) out_ << "  wrapped: true\n";
    out_ << "  ...\n";
  }
  void End(const Totals& t) override {
    out_ << "1.." << (t.unloadable.empty() ? t.total : 1) << "\n";
  }

 private:
  std::ostream& out_;
  bool nested_;
};

}  // namespace

std::string RunnerMessage(const std::string& file, const std::string& message) {
  return "quelvar-run: " + (file.empty() ? "" : file + ": ") + message;
}

void Count(Totals& totals, const CaseResult& r) {
  ++totals.total;
  totals.passed += r.pass;
  totals.maxPoints += r.c.points;
  totals.points += r.pass ? r.c.points : 0;
  totals.customPoints = totals.customPoints || r.c.points != 1;
  totals.lines += r.lines;
  totals.wrapped = totals.wrapped || r.wrapped;
  if (!r.pass && totals.firstFailure.empty()) {
    // Against a model a case is named by its inputs, which the line shows anyway.
    totals.firstFailure = (r.title == r.c.values ? "" : r.title + ": ") + FailLine(r);
  }
}

std::unique_ptr<GradeReport> MakeReport(Format format, std::ostream& out, bool nested,
                                        bool reference) {
  switch (format) {
    case Format::kJson:
      return std::make_unique<JsonReport>(out, nested);
    case Format::kGradescope:
      return std::make_unique<GradescopeReport>(out);
    case Format::kPrairieLearn:
      return std::make_unique<PrairieLearnReport>(out);
    case Format::kJunit:
      return std::make_unique<JunitReport>(out, nested);
    case Format::kTap:
      return std::make_unique<TapReport>(out, nested);
    default:
      return std::make_unique<TextReport>(out, reference);
  }
}

void BeginMany(Format format, std::ostream& out) {
  switch (format) {
    case Format::kJson:
      out << "{\"submissions\":[";
      break;
    case Format::kJunit:
      out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
      break;
    case Format::kTap:
      out << "TAP version 14\n";
      break;
    default:
      break;
  }
}

void BetweenMany(Format format, std::ostream& out, uint64_t k, const std::string& name,
                 const std::string& report, bool pass) {
  switch (format) {
    case Format::kJson:
      out << (k > 1 ? "," : "") << report;
      break;
    case Format::kJunit:
      out << report;
      break;
    case Format::kTap: {
      std::string title = name;
      for (char& c : title) {
        if (c == '#' || c == '\n' || c == '\r') c = ' ';
      }
      out << "# Subtest: " << title << "\n";
      std::istringstream lines(report);
      for (std::string line; std::getline(lines, line);) out << "    " << line << "\n";
      out << (pass ? "ok " : "not ok ") << k << " - " << title << "\n";
      break;
    }
    default:
      break;
  }
}

void EndMany(Format format, std::ostream& out, uint64_t count, const nlohmann::json& summary) {
  switch (format) {
    case Format::kJson:
      out << "],\"summary\":" << JsonText(summary) << "}\n";
      break;
    case Format::kJunit:
      out << "</testsuites>\n";
      break;
    case Format::kTap:
      out << "1.." << count << "\n";
      break;
    default:
      break;
  }
}

}  // namespace quelvar::runner
