// The window on real Qt widgets, under the offscreen platform.
#include <filesystem>

#include "qt/QtWindowFixture.h"

namespace quelvar::test {
namespace {

TEST_F(QtWindowTest, BuildsEveryControlOfTheLayout) {
  EXPECT_EQ(toolkit->Window()->windowTitle(), "Quelvar");
  EXPECT_EQ(toolkit->Window()->pos(), QPoint(190, 120));
  EXPECT_EQ(toolkit->ClientArea()->size(), QSize(649, 341));
  EXPECT_EQ(toolkit->Window()->centralWidget()->size(), QSize(649, 341));
  for (const platform::ControlSpec& spec : MainFormLayout().controls) {
    SCOPED_TRACE(std::string(spec.name));
    QWidget* widget = Widget(std::string(spec.name).c_str());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->pos(), QPoint(spec.left, spec.top));
    EXPECT_EQ(!widget->isHidden(), spec.visible);
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      EXPECT_EQ(widget->size(), QSize(spec.width, spec.height));
      EXPECT_EQ(button->text().toStdString(), spec.text);
      EXPECT_EQ(button->isEnabled(), spec.enabled);
    } else if (auto* list = qobject_cast<QListView*>(widget)) {
      EXPECT_EQ(widget->size(), QSize(spec.width, spec.height));
      EXPECT_EQ(list->model()->rowCount(), 0);
    } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull()) {
      EXPECT_EQ(label->text().toStdString(), spec.text);
    }
  }
  // The hidden buttons can never take the focus.
  EXPECT_EQ(Widget("Button1")->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(QApplication::focusWidget(), List("List1"));
}

TEST_F(QtWindowTest, ResizingMovesNothingAndASmallWindowScrolls) {
  auto* scroll = qobject_cast<QScrollArea*>(toolkit->Window()->centralWidget());
  ASSERT_NE(scroll, nullptr);
  toolkit->Window()->resize(300, 200);
  QApplication::processEvents();
  EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
  toolkit->Window()->resize(1000, 700);
  QApplication::processEvents();
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  EXPECT_EQ(Widget("List2")->pos(), QPoint(216, 56));
  EXPECT_EQ(toolkit->ClientArea()->size(), QSize(649, 341));
}

TEST_F(QtWindowTest, MenuHasItsCaptionsMnemonicsAndShortcuts) {
  QStringList seen;
  for (QAction* menu : toolkit->Window()->menuBar()->actions()) {
    seen << menu->text();
    for (QAction* item : menu->menu()->actions()) {
      seen << (item->isSeparator()
                   ? "-"
                   : item->text() + " " + item->shortcut().toString(QKeySequence::NativeText));
      EXPECT_TRUE(item->isEnabled());
    }
  }
  EXPECT_EQ(seen, (QStringList{"&Program", "&Load F3", "&Exit Ctrl+X", "&Run", "&Run It Ctrl+F9",
                               "-", "&Step Or Run Shift+F9", "&Next Step F7", "-", "&Halt F6",
                               "&Help", "&About F1"}));
}

TEST_F(QtWindowTest, TabMovesThroughTheControlsInOrder) {
  std::vector<std::string> order;
  QWidget* widget = List("List1");
  for (int i = 0; i < 8; ++i) {
    order.push_back(widget->objectName().toStdString());
    widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty()) {
      widget = widget->nextInFocusChain();
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"List1", "List2", "Button4", "Button6", "Button7",
                                             "Button8", "Button5", "Button9"}));
}

TEST_F(QtWindowTest, F6HaltsAndShiftF6ReachesTheKeyHandlerOfTheFocusedList) {
  Press(List("List2"), Qt::Key_F6);
  EXPECT_EQ(form->InstrIndex, -12);
  EXPECT_TRUE(form->Button4->Enabled());
  form->Button4->SetEnabled(false);
  Press(List("List2"), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(form->InstrIndex, -10);
  EXPECT_FALSE(form->Button4->Enabled());
  form->InstrIndex = 3;
  Widget("Button9")->setEnabled(true);
  Press(Widget("Button9"), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(form->InstrIndex, 3);
  Press(List("List1"), Qt::Key_F6, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(form->InstrIndex, -10);
}

TEST_F(QtWindowTest, RunCommandsActBeforeTheFirstLoad) {
  const Box runIt =
      ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F9, Qt::ControlModifier); });
  EXPECT_EQ(runIt.text, "I/O error 6.");
  EXPECT_EQ(runIt.title, "Demo");
  EXPECT_EQ(runIt.icon, QMessageBox::Critical);
  const Box step = ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F9, Qt::ShiftModifier); });
  EXPECT_EQ(step.text, "I/O error 6.");
  // Next Step runs "Next" while "Step Or Run" is disabled: line 0 does not exist.
  const Box next = ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F7); });
  EXPECT_EQ(next.text, "List index out of bounds (-1)");
  EXPECT_TRUE(Widget("Button8")->isEnabled());
  Press(List("List1"), Qt::Key_F6);
  EXPECT_EQ(form->InstrIndex, -12);
}

TEST_F(QtWindowTest, LoadsThroughTheDialogAndRunsToTheEndOnTimerTicks) {
  LoadThroughDialog(
      WriteProgram("6\r\n7\r\n0\r\n0\r\n0",
                   "J(2,4,9)\r\nZ(5)\r\nJ(1,5,7)\r\nS(3)\r\nS(5)\r\nJ(1,1,3)\r\nS(4)\r\n"
                   "J(1,1,1)\r\nT(3,1)"));
  EXPECT_EQ(Widget<QLabel>("Label8")->text(), "Test");
  EXPECT_EQ(QDir::currentPath().toStdString(), dir.Path());
  // F7 does nothing while "Step Or Run" is enabled.
  Press(List("List1"), Qt::Key_F7);
  EXPECT_EQ(form->InstrIndex, 0);

  QTest::mouseClick(Widget("Button4"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->RunFlag == 0; }, kPatienceMs));
  EXPECT_EQ(form->List1->Line(0), "R1 -> 42");
  EXPECT_EQ(Widget<QLabel>("Label3")->text(), "10");
  EXPECT_EQ(toolkit->MainTimer().Native()->interval(), 1);
  EXPECT_EQ(List("List1")->model()->rowCount(), 5);
  EXPECT_TRUE(BlueOutlineOn(9));  // just below the last line
}

// quelvar DESCRIPTOR.rm: the descriptor is loaded as if chosen in the dialog, from a name
// relative to the folder the window was started in.
TEST_F(QtWindowTest, ADescriptorGivenAtStartIsLoadedAsTheDialogWouldLoadIt) {
  WriteProgram("6\r\n7", "S(1)\r\nS(2)");
  QDir::setCurrent(QString::fromStdString(dir.Path() + "/.."));
  const std::string relative = dir.Path().substr(dir.Path().find_last_of('/') + 1) + "/prog.rm";
  toolkit->LoadAtStart(relative, [this] { form->Load1Click(); });
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return Widget<QLabel>("Label8")->text() == "Test"; }, kPatienceMs));
  EXPECT_EQ(Widget<QLabel>("Label10")->text(), "prog.txt");
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return List("List2")->model()->rowCount() == 2; }, kPatienceMs));
  EXPECT_EQ(form->List1->Line(1), "R2 -> 7");
  EXPECT_EQ(QDir::currentPath().toStdString(), dir.Path());
  EXPECT_EQ(form->OpenDialog1->FileName, dir.Path() + "/prog.rm");
  EXPECT_TRUE(Widget("Button4")->isEnabled());
}

// A name is bytes: one in Latin-1, as a file manager passes it, is not UTF-8 and loads as it is.
TEST_F(QtWindowTest, ADescriptorWhoseNameIsNotUtf8LoadsByItsBytes) {
  WriteProgram("6\r\n7", "S(1)\r\nS(2)");
  const std::string latin1 = dir.PathOf("caf\xe9.rm");
  std::filesystem::copy_file(dir.PathOf("prog.rm"), latin1);
  toolkit->LoadAtStart(latin1, [this] { form->Load1Click(); });
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return List("List2")->model()->rowCount() == 2; }, kPatienceMs));
  EXPECT_EQ(form->OpenDialog1->FileName, latin1);
  EXPECT_EQ(Widget<QLabel>("Label8")->text(), "Test");
}

TEST_F(QtWindowTest, AMissingDescriptorGivenAtStartShowsItsErrorBox) {
  const Box box = ExpectMessageBox(
      [&] { toolkit->LoadAtStart(dir.PathOf("missing.rm"), [this] { form->Load1Click(); }); });
  EXPECT_EQ(box.title, "Demo");
  EXPECT_EQ(box.text, "File not found.");
  EXPECT_EQ(Widget<QLabel>("Label8")->text(), "");
  EXPECT_FALSE(Widget("Button4")->isEnabled());
}

// While a slow load goes on, the window shows the wait cursor; once the load's event ends, the
// cursor is the window's own again.
TEST_F(QtWindowTest, ASlowLoadShowsTheWaitCursorUntilItEnds) {
  const std::string descriptor = WriteProgram("1\r\n2", "S(1)");
  bool waitCursorDuringLoad = false;
  faults::LimitReads(1);
  faults::BeforeRead("prog.txt", [&](int reads) {
    if (reads == 1) std::this_thread::sleep_for(std::chrono::milliseconds(600));
    if (reads == 2) {
      const QCursor* cursor = QGuiApplication::overrideCursor();
      waitCursorDuringLoad = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    }
  });
  toolkit->LoadAtStart(descriptor, [this] { form->Load1Click(); });
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return Widget<QLabel>("Label8")->text() == "Test"; }, kPatienceMs));
  faults::Reset();
  EXPECT_TRUE(waitCursorDuringLoad);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtWindowTest, TheAboutBoxShowsTheTitleAndTheNotice) {
  const Box about = ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F1); });
  EXPECT_EQ(about.title, "Demo");
  EXPECT_EQ(about.text.toStdString(), "Quelvar." + std::string(kNoticeText));
  EXPECT_EQ(about.icon, QMessageBox::NoIcon);
}

TEST_F(QtWindowTest, ARunGoesOnBehindAModalBox) {
  LoadThroughDialog(WriteProgram("0", "S(1)\r\nJ(1,1,1)"));
  QTest::mouseClick(Widget("Button4"), Qt::LeftButton);
  const int16_t before = form->ReadReg(1);
  ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F1); },
                   [&] { return form->ReadReg(1) >= before + 10; });
  EXPECT_EQ(form->RunFlag, 1);
}

TEST_F(QtWindowTest, TheFrameIsPaintedBlueAndSurvivesRepaintsAndScrolling) {
  std::string program;
  for (int i = 0; i < 40; ++i) program += "S(1)\r\n";
  LoadThroughDialog(WriteProgram("0", program));
  QTest::mouseClick(Widget("Button7"), Qt::LeftButton);  // Step Or Run
  for (int i = 0; i < 3; ++i) QTest::mouseClick(Widget("Button8"), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_TRUE(BlueOutlineOn(3));
  EXPECT_FALSE(BlueOutlineOn(2));
  // Covered and uncovered: painted again, the outline with it.
  List("List2")->viewport()->repaint();
  EXPECT_TRUE(BlueOutlineOn(3));
  // Scrolled: the outline moves with its row.
  List("List2")->verticalScrollBar()->setValue(2);
  QApplication::processEvents();
  EXPECT_TRUE(BlueOutlineOn(3));
  // "Repaint now" removes it.
  form->List2->RepaintNow();
  EXPECT_FALSE(BlueOutlineOn(3));
}

TEST_F(QtWindowTest, TheSelectedRegisterIsShownAgainAtEveryStep) {
  std::string dataForm;
  for (int i = 0; i < 200; ++i) dataForm += "1\r\n";
  LoadThroughDialog(WriteProgram(dataForm, "S(150)\r\nS(150)\r\nS(150)"));
  QApplication::processEvents();
  QTest::mouseClick(Widget("Button7"), Qt::LeftButton);  // Step Or Run reloads the list
  QApplication::processEvents();
  QListView* registers = List("List1");
  ASSERT_EQ(registers->model()->rowCount(), 200);
  registers->setCurrentIndex(registers->model()->index(0, 0));
  registers->verticalScrollBar()->setValue(registers->verticalScrollBar()->maximum());
  QTest::mouseClick(Widget("Button8"), Qt::LeftButton);
  EXPECT_EQ(registers->verticalScrollBar()->value(), 0);
  EXPECT_EQ(form->List1->Selected(), 0);
  EXPECT_EQ(registers->model()->data(registers->model()->index(149, 0)).toString(), "R150 -> 2");
}

}  // namespace
}  // namespace quelvar::test
