// Loading: the Load command, the data form loader and the program text loader.
#include <cstdint>
#include <stdexcept>

#include "form/MainForm.h"
#include "platform/Toolkit.h"
#include "text/ProgramText.h"
#include "text/TextReader.h"

namespace quelvar {

platform::BusyNotice TForm1::Busy() {
  if (!Toolkit.ShowsBusy()) return {};
  return [this] { Toolkit.ShowBusy(); };
}

void TForm1::Button6Click() {
  OpenDialog1->Filter = "Programs for Register Mashine *.rm|*.rm";
  // Cancelling keeps the name chosen last, so a cancelled Load reloads the last descriptor.
  OpenDialog1->Execute();
  const std::string name = OpenDialog1->FileName;
  if (name.empty()) return;
  Toolkit.Files().ReadConsistently(
      name,
      [this](ByteSource& descriptor) {
        TextReader reader(descriptor);
        reader.ReadLine(ModuleName);
        reader.FinishLine();
        reader.ReadLine(DataFileName);
        reader.FinishLine();
        reader.ReadLine(ProgramFileName);
        reader.FinishLine();
      },
      Busy());
  Label8->SetText(ModuleName);
  Label9->SetText(DataFileName);
  Label10->SetText(ProgramFileName);
  Button1->Click();
  Button2->Click();
  Button4->SetEnabled(true);
  Button5->SetEnabled(true);
  Button7->SetEnabled(true);
  Button9->SetEnabled(true);
}

void TForm1::Button1Click() {
  List1->Clear();
  Toolkit.Files().ReadConsistently(
      DataFileName,
      [this](ByteSource& dataForm) {
        TextReader reader(dataForm);
        RegCount = 0;
        OuterRegs.clear();
        // The end is tested only after a value, so even an empty data form makes one register.
        do {
          // Past 2^31 - 1 values (a data form of over 4 GB) the count cannot grow any further.
          if (RegCount == INT32_MAX) throw std::runtime_error("Too many values in the data form");
          ++RegCount;
          Regs.resize(static_cast<size_t>(RegCount) + 1);
          const int32_t value = reader.ReadInteger();
          reader.FinishLine();
          Regs[RegCount] = static_cast<int16_t>(value);
        } while (!reader.AtEnd());
      },
      Busy());
  FillRegsField();
}

void TForm1::Button2Click() {
  List2->Clear();
  Toolkit.Files().ReadProgramText(
      ProgramFileName,
      [this](ByteSource& text) {
        List2->Clear();  // a file that changed while it was read is read again from its start
        SplitProgramText(text, [this](std::string_view line) { List2->Append(line); });
      },
      Busy());
  // Line 1 is framed in whatever colour the surface has now.
  List2->FrameRect(List2->RowRect(0));
}

}  // namespace quelvar
