#include "form/MainForm.h"

#include <string>

namespace quelvar {

TForm1::TForm1(platform::Toolkit& toolkit) : Toolkit(toolkit) {
  Toolkit.Build(MainFormLayout());
  Button1 = &Toolkit.ButtonNamed("Button1");
  Button2 = &Toolkit.ButtonNamed("Button2");
  Button4 = &Toolkit.ButtonNamed("Button4");
  Button5 = &Toolkit.ButtonNamed("Button5");
  Button6 = &Toolkit.ButtonNamed("Button6");
  Button7 = &Toolkit.ButtonNamed("Button7");
  Button8 = &Toolkit.ButtonNamed("Button8");
  Button9 = &Toolkit.ButtonNamed("Button9");
  Label3 = &Toolkit.LabelNamed("Label3");
  Label8 = &Toolkit.LabelNamed("Label8");
  Label9 = &Toolkit.LabelNamed("Label9");
  Label10 = &Toolkit.LabelNamed("Label10");
  List1 = &Toolkit.ListNamed("List1");
  List2 = &Toolkit.ListNamed("List2");
  Timer1 = &Toolkit.MainTimer();
  OpenDialog1 = &Toolkit.FileDialog();

  Button1->OnClick = [this] { Button1Click(); };
  Button2->OnClick = [this] { Button2Click(); };
  Button4->OnClick = [this] { Button4Click(); };
  Button5->OnClick = [this] { Button5Click(); };
  Button6->OnClick = [this] { Button6Click(); };
  Button7->OnClick = [this] { Button7Click(); };
  Button8->OnClick = [this] { Button8Click(); };
  Button9->OnClick = [this] { Button9Click(); };
  Timer1->OnTimer = [this] { Timer1Timer(); };
  Toolkit.MenuItemNamed("Load1").OnClick = [this] { Load1Click(); };
  Toolkit.MenuItemNamed("Exit1").OnClick = [this] { Exit1Click(); };
  Toolkit.MenuItemNamed("RunIt1").OnClick = [this] { RunIt1Click(); };
  Toolkit.MenuItemNamed("StepOrRun1").OnClick = [this] { StepOrRun1Click(); };
  Toolkit.MenuItemNamed("NextStep1").OnClick = [this] { NextStep1Click(); };
  Toolkit.MenuItemNamed("Halt1").OnClick = [this] { Halt1Click(); };
  Toolkit.MenuItemNamed("About1").OnClick = [this] { About1Click(); };
  Toolkit.SetKeyHandler([this](uint16_t key, uint8_t shift) { FormKeyDown(key, shift); });
}

void TForm1::Load1Click() {
  Button6->Click();
}
void TForm1::Exit1Click() {
  Toolkit.Close();
}
void TForm1::RunIt1Click() {
  Button4->Click();
}
void TForm1::StepOrRun1Click() {
  Button7->Click();
}
void TForm1::Halt1Click() {
  Button5->Click();
}

void TForm1::NextStep1Click() {
  if (!Button7->Enabled()) Button8->Click();
}

void TForm1::About1Click() {
  Toolkit.ShowMessage("Quelvar." + std::string(kNoticeText));
}

}  // namespace quelvar
