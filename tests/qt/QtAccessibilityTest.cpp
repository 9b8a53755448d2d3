// What the window tells assistive technology and keyboard users (additions): where the focus goes
// when a focused button disables itself, the announcements of a run, the frame's contrast on any
// palette, and the lists' focus ring.
#include <QStyleFactory>
#include <cmath>

#include "qt/QtWindowFixture.h"

namespace quelvar::test {
namespace {

// Space on a focused button that its own command disables leaves the focus on the button that
// carries the command on, never on one that would end or restart the run.
TEST_F(QtWindowTest, AFocusedButtonThatDisablesItselfHandsTheFocusOn) {
  WriteProgram("1\r\n2", "S(1)\r\nS(1)\r\nS(1)");
  toolkit->FileDialog().ChooseOnce(dir.PathOf("prog.rm"));
  form->Load1Click();
  const struct {
    const char* pressed;
    const char* focused;
  } cases[] = {{"Button7", "Button8"},
               {"Button8", "Button8"},
               {"Button8", "Button8"},
               {"Button8", "Button7"},
               {"Button4", "Button9"}};
  for (const auto& c : cases) {
    Press(Widget(c.pressed), Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == Widget(c.focused); },
                                kPatienceMs))
        << c.pressed << " left the focus on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                        : "nothing");
  }
}

// Steps are announced at once; the steps of a running program at most once a second, the latest
// one held back; the end of a run at once, in place of the one held back. The announcer's clock
// stands still until the test moves it, so a slow machine cannot put two calls a second apart.
// (What the form says is tested on the headless toolkit, and what a screen reader hears in the
// AT-SPI test.)
TEST_F(QtWindowTest, AnnouncesStepsAtOnceAndARunAtMostOnceASecond) {
  toolkit->Announce("line 1: S(1), R1 -> 2", platform::Announcement::kStep);
  EXPECT_EQ(toolkit->Announcer().Last(), "line 1: S(1), R1 -> 2");  // the window's own announcer

  QWidget host;
  qint64 now = 0;
  qt::QtAnnouncer said(&host, {}, [&now] { return now; });
  said.Announce("line 1: S(1), R1 -> 2", platform::Announcement::kStep);
  said.Announce("line 2: S(1), R1 -> 3", platform::Announcement::kStep);
  EXPECT_EQ(said.Last(), "line 2: S(1), R1 -> 3");
  const int made = said.Made();
  said.Announce("line 1: first", platform::Announcement::kProgress);
  said.Announce("line 2: second", platform::Announcement::kProgress);
  EXPECT_EQ(said.Made(), made);  // within a second of the last one: held back
  EXPECT_TRUE(QTest::qWaitFor([&] { return said.Made() == made + 1; }, kPatienceMs));
  EXPECT_EQ(said.Last(), "line 2: second");
  said.Announce("line 3: third", platform::Announcement::kProgress);
  said.Announce("stopped", platform::Announcement::kEnd);
  EXPECT_EQ(said.Made(), made + 2);
  EXPECT_EQ(said.Last(), "stopped");
  QTest::qWait(qt::QtAnnouncer::kProgressGapMs + 200);
  EXPECT_EQ(said.Made(), made + 2);  // "third" was dropped for the end
  now += qt::QtAnnouncer::kProgressGapMs;
  said.Announce("line 4: fourth", platform::Announcement::kProgress);
  EXPECT_EQ(said.Made(), made + 3);  // a second after the last one: at once
  EXPECT_EQ(said.Last(), "line 4: fourth");
}

// The frame's pixels and the pixels next to them inside its row, as painted now.
struct FramePixels {
  QColor frame, inner, background;
};

FramePixels PixelsOfFrame(QListView* view, int row) {
  const QImage image = view->viewport()->grab().toImage();
  const int x = view->viewport()->width() / 2;
  const int top = (row - view->verticalScrollBar()->value()) * 13;
  return {image.pixelColor(x, top), image.pixelColor(x, top + 1), image.pixelColor(x, top + 6)};
}

double Luminance(const QColor& c) {
  const auto channel = [](double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// On the light list the frame is the plain blue outline it always was. Where the row's background
// leaves blue below 3:1 (a dark palette, a selected row), a light outline inside it reaches 3:1.
TEST_F(QtWindowTest, TheFrameStandsOutByThreeToOneOnAnyPalette) {
  WriteProgram("1", "S(1)\r\nS(1)\r\nS(1)");
  toolkit->FileDialog().ChooseOnce(dir.PathOf("prog.rm"));
  form->Load1Click();
  form->Button7Click();
  form->Button8Click();  // the frame on row 1
  QListView* view = List("List2");
  QApplication::processEvents();

  const FramePixels light = PixelsOfFrame(view, 1);
  EXPECT_EQ(light.frame, QColor(0, 0, 255));
  EXPECT_EQ(light.inner, light.background);  // nothing added inside

  QPalette dark = view->palette();
  dark.setColor(QPalette::Base, QColor(42, 42, 42));
  dark.setColor(QPalette::Text, QColor(220, 220, 220));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  view->setPalette(dark);
  const FramePixels onDark = PixelsOfFrame(view, 1);
  EXPECT_LT(Contrast(onDark.frame, onDark.background), 3.0);  // why the second outline exists
  EXPECT_GE(Contrast(onDark.inner, onDark.background), 3.0);

  view->setPalette(QPalette());
  view->selectionModel()->select(view->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
  const FramePixels selected = PixelsOfFrame(view, 1);
  EXPECT_GE(std::max(Contrast(selected.frame, selected.background),
                     Contrast(selected.inner, selected.background)),
            3.0);
}

// A list with the keyboard focus shows a ring that stands out from the window by 3:1, also when it
// is empty; without the focus, the list looks as before.
TEST_F(QtWindowTest, AFocusedListShowsARingOfThreeToOne) {
  QListView* registers = List("List1");
  List("List2")->setFocus();
  QApplication::processEvents();
  const QImage without = registers->grab().toImage();
  registers->setFocus();
  QApplication::processEvents();
  const QImage with = registers->grab().toImage();
  const QColor ring = with.pixelColor(with.width() / 2, 0);
  EXPECT_NE(ring, without.pixelColor(without.width() / 2, 0));
  EXPECT_GE(Contrast(ring, registers->palette().color(QPalette::Window)), 3.0);
}

}  // namespace
}  // namespace quelvar::test
