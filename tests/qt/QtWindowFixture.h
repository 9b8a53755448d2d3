#pragma once

// The window on real Qt widgets, as its tests see it: a fixture that opens it, presses keys as a
// user would, reads message boxes and loads through the real dialog.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "form/MainForm.h"
#include "platform/qt/QtToolkit.h"
#include "support/FaultyCalls.h"
#include "support/StandardInput.h"
#include "support/TempDir.h"

namespace quelvar::test {

// How long a test waits for the window to do what it was asked: long enough for the sanitizer
// build on a machine whose cores other jobs share, since a wait that ends early is a false failure.
constexpr int kPatienceMs = 60'000;

struct Box {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QRect geometry;
};

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    toolkit = std::make_unique<qt::QtToolkit>("Demo");
    form = std::make_unique<TForm1>(*toolkit);
    toolkit->Show();
    toolkit->Window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(toolkit->Window(), kPatienceMs));
  }
  void TearDown() override {
    form.reset();
    toolkit.reset();
    QDir::setCurrent(QString::fromStdString(startDir_));
  }

  template <typename T = QWidget>
  T* Widget(const char* name) {
    return toolkit->ClientArea()->findChild<T*>(name);
  }
  QListView* List(const char* name) { return Widget<QListView>(name); }

  // Presses a key on `target` as the user would: shortcuts first, then the focused control.
  void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    // A closed box gives the activation back to the window a moment later.
    if (!toolkit->Window()->isActiveWindow()) {
      toolkit->Window()->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(toolkit->Window(), kPatienceMs));
    }
    target->setFocus();
    QTest::keyClick(target, key, modifiers);
  }

  // Runs `action`, which opens a message box, at once or from the event loop; reads the box and
  // closes it once `closeWhen` holds, or after kPatienceMs, when the test fails.
  Box ExpectMessageBox(
      const std::function<void()>& action,
      const std::function<bool()>& closeWhen = [] { return true; }) {
    Box seen;
    bool found = false;
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      const bool timedOut = waited.elapsed() > kPatienceMs;
      if (!closeWhen() && !timedOut) return;
      EXPECT_FALSE(timedOut) << "the box's condition never held";
      seen = {box->windowTitle(), box->text(), box->icon(), box->geometry()};
      found = true;
      box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    action();
    EXPECT_TRUE(QTest::qWaitFor([&] { return found; }, kPatienceMs)) << "no message box";
    return seen;
  }

  // Loads through the real dialog: its name box gets `path`, then it is accepted.
  void LoadThroughDialog(const std::string& path) {
    QTimer::singleShot(0, [path] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->nameFilters(), QStringList{"Programs for Register Mashine *.rm (*.rm)"});
      EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(path));
      QTest::keyClick(name, Qt::Key_Return);
    });
    Press(List("List1"), Qt::Key_F3);
  }

  std::string WriteProgram(const std::string& dataForm, const std::string& program) {
    dir.Write("data.txt", dataForm);
    dir.Write("prog.txt", program);
    return dir.Write("prog.rm", "Test\r\ndata.txt\r\nprog.txt\r\n");
  }

  // Whether the top edge of `row`'s outline on List2 is painted blue.
  bool BlueOutlineOn(int row) {
    QListView* view = List("List2");
    const QImage image = view->viewport()->grab().toImage();
    const int y = (row - view->verticalScrollBar()->value()) * 13;
    if (y < 0 || y >= image.height()) return false;
    return image.pixelColor(view->viewport()->width() / 2, y) == QColor(0, 0, 255);
  }

  TempDir dir;
  std::unique_ptr<qt::QtToolkit> toolkit;
  std::unique_ptr<TForm1> form;

 private:
  StandardInput nullInput_;
  std::string startDir_ = QDir::currentPath().toStdString();
};

}  // namespace quelvar::test
