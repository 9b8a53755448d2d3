#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"
#include "support/TempDir.h"

namespace quelvar::test {

// A form on the headless toolkit, with the working directory put back after each test (the
// Load dialog moves it).
class FormTest : public ::testing::Test {
 protected:
  FormTest();
  ~FormTest() override;

  // Loads registers R1.. with `values` and lists them, as a data form would.
  void SetRegisters(const std::vector<int16_t>& values);
  // Puts `lines` into the program list, as the program text loader would.
  void SetProgram(const std::vector<std::string>& lines);
  // Writes a descriptor with its data form and program text into `dir`; returns its path.
  std::string WriteProgramFiles(const std::string& dataForm, const std::string& program);
  // The same, and the next Load chooses that descriptor.
  void PrepareLoad(const std::string& dataForm, const std::string& program);

  std::vector<std::string> RegisterLines() { return toolkit.ListNamed("List1").Lines(); }
  std::vector<std::string> ProgramLines() { return toolkit.ListNamed("List2").Lines(); }
  std::vector<std::string> ErrorTexts() const;
  headless::HeadlessButton& Button(const char* name) { return toolkit.ButtonNamed(name); }
  headless::HeadlessListBox& List2() { return toolkit.ListNamed("List2"); }
  std::string Label(const char* name) { return toolkit.LabelNamed(name).Text(); }

  TempDir dir;
  headless::HeadlessToolkit toolkit{"Demo"};
  TForm1 form{toolkit};

 private:
  std::string startDir_;
};

}  // namespace quelvar::test
