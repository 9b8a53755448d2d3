// The window's own rules on real Qt widgets: the frame exact at the display scale the tests run
// at, accessible names, where the boxes stand and how wide they are, and Enter on a button.
#include <QAccessible>
#include <QScreen>
#include <map>
#include <string>

#include "platform/qt/QtListBox.h"
#include "qt/QtWindowFixture.h"

namespace quelvar::test {
namespace {

bool IsBlue(QColor colour) {
  return colour == QColor(0, 0, 255);
}

// Run at every display scale (QT_SCALE_FACTOR 1 to 2, see tests/CMakeLists.txt): after ten steps,
// a scroll and a click on a row that once held the frame, the list shows one closed rectangle of
// the frame colour, on the row that runs next, and no other pixel of that colour; the selected
// row shows no trace of the frame it once had.
TEST_F(QtWindowTest, TheFrameIsOneRectangleOnItsRowAtThisScale) {
  std::string program;
  for (int i = 0; i < 40; ++i) program += "S(1)\r\n";
  LoadThroughDialog(WriteProgram("0", program));
  QTest::mouseClick(Widget("Button7"), Qt::LeftButton);  // Step Or Run
  for (int i = 0; i < 10; ++i) QTest::mouseClick(Widget("Button8"), Qt::LeftButton);
  auto* view = dynamic_cast<qt::OutlinedListView*>(List("List2"));
  ASSERT_NE(view, nullptr);
  view->verticalScrollBar()->setValue(2);
  QApplication::processEvents();
  constexpr int kCurrent = 10;
  constexpr int kOnceFramed = 5;
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->RowRect(kOnceFramed).center());
  QApplication::processEvents();
  ASSERT_EQ(form->InstrIndex, kCurrent + 1);
  ASSERT_EQ(view->currentIndex().row(), kOnceFramed);

  const QImage image = view->viewport()->grab().toImage();
  const qreal ratio = view->viewport()->devicePixelRatioF();
  ASSERT_EQ(image.width(), qRound(view->viewport()->width() * ratio));
  const int width = std::max(1, qRound(ratio));
  const QRect frame = view->FrameInPixels(kCurrent);
  const auto onFrame = [&](const QRect& rect, int x, int y) {
    return rect.contains(x, y) && (x < rect.left() + width || x > rect.right() - width ||
                                   y < rect.top() + width || y > rect.bottom() - width);
  };
  int stray = 0, missing = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool blue = IsBlue(image.pixelColor(x, y));
      if (onFrame(frame, x, y)) {
        missing += !blue;
      } else {
        stray += blue;
      }
    }
  }
  EXPECT_EQ(missing, 0) << "the frame is not closed at scale " << ratio;
  EXPECT_EQ(stray, 0) << "frame-coloured pixels off the frame at scale " << ratio;

  // Where the old frame of the selected row stood, the selection shows, not the list's
  // background: an erased frame leaves no outline inside the highlight. At a fractional scale the
  // row's outermost pixels may be its neighbour's, so those are left out.
  const QColor background = view->palette().color(QPalette::Base);
  const int inset = ratio == qRound(ratio) ? 0 : 1;
  const QRect selected = view->FrameInPixels(kOnceFramed).adjusted(inset, inset, -inset, -inset);
  int traces = 0;
  for (int y = selected.top(); y <= selected.bottom(); ++y) {
    for (int x = selected.left(); x <= selected.right(); ++x) {
      traces += onFrame(selected, x, y) && image.pixelColor(x, y) == background;
    }
  }
  EXPECT_EQ(traces, 0) << "the selected row keeps a trace of its old frame at scale " << ratio;
}

TEST_F(QtWindowTest, EveryControlHasAnAccessibleName) {
  LoadThroughDialog(WriteProgram("1", "S(1)"));
  const std::map<std::string, QString> names = {
      {"List1", "Registers"},
      {"List2", "Program"},
      {"Image4", "Quelvar logo: three register cells, the middle one framed in blue"},
      {"Bevel1", "Separator"},
      {"Button6", "Load Progrtam"},
      {"Button9", "Pause It"},
      {"Label1", "Registers:"},
      {"Label4", "Instruction Index is:"},
      {"Label8", "Test"},  // the module name, once loaded
  };
  for (const platform::ControlSpec& spec : MainFormLayout().controls) {
    if (!spec.visible) continue;
    QWidget* widget = Widget(std::string(spec.name).c_str());
    ASSERT_NE(widget, nullptr) << spec.name;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(accessible, nullptr) << spec.name;
    const QString name = accessible->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty()) << spec.name;
    const auto expected = names.find(std::string(spec.name));
    if (expected != names.end()) {
      EXPECT_EQ(name, expected->second) << spec.name;
    }
  }
}

TEST_F(QtWindowTest, TheAboutBoxStandsInTheMiddleOfTheScreen) {
  const Box about = ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F1); });
  const QPoint middle = toolkit->Window()->screen()->availableGeometry().center();
  EXPECT_LE((about.geometry.center() - middle).manhattanLength(), 2)
      << "box at " << about.geometry.center().x() << "," << about.geometry.center().y();
}

TEST_F(QtWindowTest, AnErrorBoxIsWideEnoughForItsCaption) {
  // A short message: "Run It" before any Load, on standard input that is no file.
  const Box error =
      ExpectMessageBox([&] { Press(List("List1"), Qt::Key_F9, Qt::ControlModifier); });
  EXPECT_EQ(error.text, "I/O error 6.");
  const int caption = QFontMetrics(QApplication::font()).horizontalAdvance(error.title);
  EXPECT_GE(error.geometry.width(), caption + 100);
}

// Enter and the keypad's Enter press a focused button, as Space does, once.
TEST_F(QtWindowTest, EnterOnAFocusedButtonPressesIt) {
  LoadThroughDialog(WriteProgram("0", "S(1)\r\nS(1)\r\nS(1)\r\nS(1)"));
  QTest::mouseClick(Widget("Button7"), Qt::LeftButton);  // Step Or Run
  Press(Widget("Button8"), Qt::Key_Return);
  EXPECT_EQ(form->InstrIndex, 2);
  Press(Widget("Button8"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(form->InstrIndex, 3);
  // A disabled button is not pressed: "Step Or Run" would start again from line 1.
  ASSERT_FALSE(Widget("Button7")->isEnabled());
  Press(Widget("Button7"), Qt::Key_Return);
  EXPECT_EQ(form->InstrIndex, 3);
  // The Pause toggle too, which has no key handler: it sets the run switch.
  Press(Widget("Button9"), Qt::Key_Return);
  EXPECT_EQ(form->RunFlag, 1);
}

}  // namespace
}  // namespace quelvar::test
