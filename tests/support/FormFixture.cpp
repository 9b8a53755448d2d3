#include "support/FormFixture.h"

#include <unistd.h>

namespace quelvar::test {
namespace {

std::string CurrentDir() {
  std::string cwd(4096, '\0');
  if (getcwd(cwd.data(), cwd.size()) == nullptr) return "/";
  return cwd.c_str();
}

}  // namespace

FormTest::FormTest() : startDir_(CurrentDir()) {}

FormTest::~FormTest() {
  if (chdir(startDir_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << startDir_;
}

void FormTest::SetRegisters(const std::vector<int16_t>& values) {
  form.Regs.assign(1, 0);
  form.Regs.insert(form.Regs.end(), values.begin(), values.end());
  form.RegCount = static_cast<int32_t>(values.size());
  form.List1->Clear();
  form.RedrawRegsField();
}

void FormTest::SetProgram(const std::vector<std::string>& lines) {
  form.List2->Clear();
  for (const std::string& line : lines) form.List2->Append(line);
}

std::string FormTest::WriteProgramFiles(const std::string& dataForm, const std::string& program) {
  dir.Write("data.txt", dataForm);
  dir.Write("prog.txt", program);
  return dir.Write("prog.rm", "Test\r\ndata.txt\r\nprog.txt\r\n");
}

void FormTest::PrepareLoad(const std::string& dataForm, const std::string& program) {
  toolkit.FileDialog().WillChoose(WriteProgramFiles(dataForm, program));
}

std::vector<std::string> FormTest::ErrorTexts() const {
  std::vector<std::string> texts;
  for (const headless::MessageBox& box : toolkit.ErrorBoxes()) texts.push_back(box.text);
  return texts;
}

}  // namespace quelvar::test
