#include "filter/TOadvCloud.h"

#include "filter/diagram/ConditionsFile.h"

#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "support/TidyLayout.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QColor HatchGray(0xC0, 0xC0, 0xC0);

// A diagram frame on screen, started as its host starts it.
struct Frame {
    TOadvCloud w;
    int selects = 0;
    explicit Frame(const QColor& base = QColor()) {
        if (base.isValid()) {
            QPalette pal = w.palette();
            pal.setColor(QPalette::Base, base);
            w.setPalette(pal);
        }
        w.resize(520, 420);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.Stop();
        w.SetOnSelect([this] { ++selects; });
        w.Start();
    }
    QWidget* pb() { return w.PB1; }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(pb(), b, {}, p); }
    void move(QPoint p) { QTest::mouseMove(pb(), p); }
    void shiftMove(QPoint p) {
        QTest::mouseEvent(QTest::MouseMove, pb(), Qt::NoButton, Qt::ShiftModifier, p);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(pb(), b, {}, p);
    }
    void doubleClick(QPoint p) {
        QTest::mouseClick(pb(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(pb(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(pb(), Qt::LeftButton, {}, p);
    }
    // What the paint box shows.
    QImage seen() {
        w.Refresh();
        return pb()->grab().toImage();
    }
    // A right-button click that goes through the window, as the system delivers it, so that
    // the pop-up menu opens; onMenu acts on the open menu.
    void rightClick(QPoint p, std::function<void(QMenu*)> onMenu) {
        bool handled = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || handled)
                return;
            handled = true;
            onMenu(menu);
        });
        poll.start();
        QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, pb()->mapTo(&w, p));
        EXPECT_TRUE(handled);
    }
};

void choose(QMenu* menu, QAction* action) {
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

int countColour(const QImage& img, const QRect& area, const QColor& c) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

bool hasColourNear(const QImage& img, QPoint p, const QColor& c, int d = 1) {
    return countColour(img, QRect(p.x() - d, p.y() - d, 2 * d + 1, 2 * d + 1), c) > 0;
}

} // namespace

TEST(TOclouds, StartAndStop) {
    Frame f;
    EXPECT_TRUE(f.w.Active());
    EXPECT_TRUE(f.w.Timer1->isActive());
    EXPECT_EQ(f.w.Timer1->interval(), 500);
    // At least the frame less 50 pixels, and never smaller than what the scroll box shows.
    EXPECT_GE(f.w.PB1->width(), 520 - 50);
    EXPECT_GE(f.w.PB1->width(), f.w.SB1->viewport()->width());
    EXPECT_EQ(f.w.PB1->size(), QSize(f.w.PaintWidth(), f.w.PaintHeight()));
    EXPECT_FALSE(f.w.CanApply());
    f.w.AddCircle("a", "A", 100, 100, 50);
    EXPECT_TRUE(f.w.CanApply());
    // A circle beyond the paint box makes it grow, and the scroll box scrolls.
    f.w.AddCircle("far", "F", 900, 100, 50);
    EXPECT_EQ(f.w.PB1->width(), f.w.PaintWidth());
    EXPECT_GT(f.w.SB1->horizontalScrollBar()->maximum(), 0);
    f.w.Stop();
    EXPECT_FALSE(f.w.Active());
    EXPECT_FALSE(f.w.Timer1->isActive());
    EXPECT_FALSE(f.w.CanApply());
    EXPECT_EQ(f.w.CircleCount(), 0);
}

TEST(TOclouds, PressOnTwoOutlinesSelectsTheLaterAndMovesTheEarlier) {
    Frame f;
    TQELlc* a = f.w.AddCircle("first", "A", 150, 150, 60);
    TQELlc* b = f.w.AddCircle("second", "B", 230, 150, 60);
    // (190, 105) lies within 2 pixels of both outlines.
    const int before = f.selects;
    f.press({190, 105});
    EXPECT_GT(f.selects, before);
    EXPECT_EQ(f.w.Selected(), b);
    EXPECT_EQ(f.w.Dragged(), a);
    QImage img = f.seen();
    // The selected circle: black outline, red label; the other gray.
    EXPECT_TRUE(hasColourNear(img, {b->X + 60, b->Y}, Qt::black));
    EXPECT_TRUE(hasColourNear(img, {a->X - 60, a->Y}, QColor(0x80, 0x80, 0x80)));
    EXPECT_GT(countColour(img, QRect(b->X + 18, b->Y + 21, 40, 14), Qt::red), 0);
    EXPECT_EQ(countColour(img, QRect(a->X + 18, a->Y + 21, 30, 14), Qt::red), 0);
    f.move({200, 115});
    f.move({210, 125});
    f.release({210, 125});
    EXPECT_EQ(a->X, 170);
    EXPECT_EQ(a->Y, 170);
    EXPECT_EQ(b->X, 230);
    EXPECT_EQ(f.w.Dragged(), nullptr);
}

TEST(TOclouds, ShiftDragResizesAndDraggingOutPastTheLeftEdgeDeletes) {
    Frame f;
    TQELlc* c = f.w.AddCircle("a", "A", 200, 200, 80);
    f.press({280, 200});
    f.shiftMove({200, 250});
    EXPECT_EQ(c->Radius, 50);
    EXPECT_EQ(c->X, 200);
    f.release({200, 250});

    f.press({150, 200});
    f.move({60, 200});
    f.move({-31, 200});
    EXPECT_EQ(f.w.CircleCount(), 0);
    f.release({-31, 200});
    EXPECT_EQ(f.w.Selected(), nullptr);
}

TEST(TOclouds, DoubleClickSetsAndRemovesPinsWithTheirHatch) {
    Frame f;
    f.w.AutoPin = false;
    TQELlc* c = f.w.AddCircle("a", "A", 200, 200, 80);
    const QRect inside(c->X - 40, c->Y - 50, 30, 30);
    const QRect outside(c->X + 100, c->Y - 50, 30, 30);
    EXPECT_EQ(countColour(f.seen(), inside, HatchGray), 0);

    f.doubleClick({190, 190});
    ASSERT_EQ(f.w.PinCount(), 1);
    EXPECT_EQ(f.w.GetPin(0)->X, 190);
    QImage img = f.seen();
    EXPECT_GT(countColour(img, inside, HatchGray), 50);
    EXPECT_EQ(countColour(img, outside, HatchGray), 0);
    EXPECT_TRUE(hasColourNear(img, {190, 190}, Qt::red, 0)); // the tick mark
    // The hatch lines run from bottom left to top right.
    EXPECT_EQ(img.pixelColor(168, 160), HatchGray);
    EXPECT_EQ(img.pixelColor(167, 161), HatchGray);
    EXPECT_EQ(img.pixelColor(168, 161), Qt::white);

    // While a drag is under way the pins lose their fill; the release brings it back.
    f.press({120, 200});
    f.move({125, 200});
    EXPECT_FALSE(f.w.PinsFilled());
    EXPECT_EQ(countColour(f.seen(), inside.translated(5, 0), HatchGray), 0);
    f.release({125, 200});
    EXPECT_GT(countColour(f.seen(), inside.translated(5, 0), HatchGray), 50);

    // On the tick mark: removed.
    f.doubleClick({192, 187});
    EXPECT_EQ(f.w.PinCount(), 0);
    EXPECT_EQ(countColour(f.seen(), inside, HatchGray), 0);
    // Outside the circle.
    f.doubleClick({400, 60});
    EXPECT_GT(countColour(f.seen(), outside, HatchGray), 50);
}

TEST(TOclouds, RegionFillWorksOnAColouredWindowBackground) {
    const QColor beige(0xF0, 0xEA, 0xD6);
    Frame f(beige);
    TQELlc* c = f.w.AddCircle("a", "A", 200, 200, 80); // its pin: (184, 200)
    const QImage img = f.seen();
    EXPECT_EQ(img.pixelColor(5, 5), beige);
    EXPECT_GT(countColour(img, QRect(c->X - 40, c->Y - 50, 30, 30), HatchGray), 50);
    EXPECT_EQ(countColour(img, QRect(c->X + 100, c->Y - 50, 30, 30), HatchGray), 0);
}

TEST(TOclouds, DeleteKeyAndFocusBevel) {
    Frame f;
    f.w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.w));
    TQELlc* c = f.w.AddCircle("a", "A", 200, 200, 80);
    f.w.SB1->setFocus();
    EXPECT_EQ(f.w.Panel1->frameStyle(), QFrame::NoFrame);
    // A click on the outline selects the circle and gives the diagram the keyboard.
    QTest::mouseClick(f.pb(), Qt::LeftButton, {}, {280, 200});
    EXPECT_TRUE(f.w.btnTarget->hasFocus());
    EXPECT_EQ(f.w.Panel1->frameStyle(), QFrame::Panel | QFrame::Sunken);
    EXPECT_EQ(f.w.Selected(), c);

    TQELlc* edited = nullptr;
    f.w.SetOnEdit([&](TQELlc* circle) { edited = circle; });
    QTest::keyClick(f.w.btnTarget, Qt::Key_Space);
    EXPECT_EQ(edited, c);
    edited = nullptr;
    QTest::keyClick(f.w.btnTarget, Qt::Key_Return);
    EXPECT_EQ(edited, c);

    DialogDriver dialogs;
    dialogs.No().Yes();
    QTest::keyClick(f.w.btnTarget, Qt::Key_Delete);
    EXPECT_EQ(f.w.CircleCount(), 1);
    QTest::keyClick(f.w.btnTarget, Qt::Key_Delete);
    EXPECT_EQ(f.w.CircleCount(), 0);
    // Nothing selected: no question.
    QTest::keyClick(f.w.btnTarget, Qt::Key_Delete);
    EXPECT_EQ(dialogs.Seen(),
              (QStringList{"Delete current condition?", "Delete current condition?"}));
    EXPECT_TRUE(dialogs.Done());

    // The bevel goes with the focus.
    f.w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.w));
    f.w.btnTarget->setFocus();
    EXPECT_EQ(f.w.Panel1->frameStyle(), QFrame::Panel | QFrame::Sunken);
    f.w.SB1->setFocus();
    EXPECT_TRUE(f.w.SB1->hasFocus());
    EXPECT_EQ(f.w.Panel1->frameStyle(), QFrame::NoFrame);
}

// The focus bevel takes a pixel of the panel's border: when the diagram takes the keyboard the
// drawing stays where it was, so a drag lands where it was aimed, and no scroll bar appears.
TEST(TOclouds, FocusLeavesTheDrawingWhereItIs) {
    Frame f;
    f.w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.w));
    f.w.AddCircle("a", "A", 200, 200, 80);
    f.w.SB1->setFocus();
    QCoreApplication::processEvents();
    const QPoint origin = f.pb()->mapTo(&f.w, QPoint(0, 0));
    QTest::mouseClick(f.pb(), Qt::LeftButton, {}, {280, 200});
    ASSERT_TRUE(f.w.btnTarget->hasFocus());
    EXPECT_EQ(f.pb()->mapTo(&f.w, QPoint(0, 0)), origin);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.pb()->mapTo(&f.w, QPoint(0, 0)), origin);
    EXPECT_FALSE(f.w.SB1->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(f.w.SB1->verticalScrollBar()->isVisible());
    f.w.SB1->setFocus();
    EXPECT_EQ(f.pb()->mapTo(&f.w, QPoint(0, 0)), origin);
}

TEST(TOclouds, PopupMenuAsksBeforeClearingAndDeleting) {
    Frame f;
    f.w.AddCircle("a", "A", 200, 200, 80);
    f.w.AddCircle("b", "B", 400, 200, 60);
    DialogDriver dialogs;

    // Inside a circle: nothing selected, only "Clear" enabled; answered No.
    dialogs.No();
    f.rightClick({200, 200}, [&](QMenu* menu) {
        EXPECT_TRUE(f.w.N_Clear->isEnabled());
        EXPECT_FALSE(f.w.N_Edit->isEnabled());
        EXPECT_FALSE(f.w.N_Delete->isEnabled());
        choose(menu, f.w.N_Clear);
    });
    EXPECT_EQ(f.w.CircleCount(), 2);

    // On an outline: that circle is selected, not dragged; delete answered No, then Yes.
    dialogs.No();
    f.rightClick({340, 200}, [&](QMenu* menu) {
        EXPECT_TRUE(f.w.N_Delete->isEnabled());
        EXPECT_TRUE(f.w.N_Edit->isEnabled());
        choose(menu, f.w.N_Delete);
    });
    EXPECT_EQ(f.w.CircleCount(), 2);
    EXPECT_EQ(f.w.Dragged(), nullptr);
    dialogs.Yes();
    f.rightClick({340, 200}, [&](QMenu* menu) { choose(menu, f.w.N_Delete); });
    ASSERT_EQ(f.w.CircleCount(), 1);
    EXPECT_EQ(f.w.GetCircle(0)->Body, "A");

    TQELlc* edited = nullptr;
    f.w.SetOnEdit([&](TQELlc* circle) { edited = circle; });
    f.rightClick({280, 200}, [&](QMenu* menu) { choose(menu, f.w.N_Edit); });
    EXPECT_EQ(edited, f.w.GetCircle(0));

    dialogs.Yes();
    f.rightClick({20, 20}, [&](QMenu* menu) { choose(menu, f.w.N_Clear); });
    EXPECT_EQ(f.w.CircleCount(), 0);
    EXPECT_EQ(f.w.PinCount(), 0);
    EXPECT_TRUE(f.w.Active());
    EXPECT_TRUE(f.w.Timer1->isActive());
    EXPECT_EQ(dialogs.Seen(), (QStringList{"Clear all conditions?", "Delete current condition?",
                                           "Delete current condition?", "Clear all conditions?"}));
    EXPECT_TRUE(dialogs.Done());
}

TEST(TOclouds, ThreeCircleVennDiagram) {
    Frame f;
    QFont font("Sans Serif");
    font.setPixelSize(11);
    f.w.setFont(font);
    f.w.AddCircle("Context:\"garden\"", "EXISTS('GARDEN')", 130, 120, 75);
    f.w.AddCircle("Context:\"tools\"", "EXISTS('TOOLS')", 220, 120, 75);
    f.w.AddCircle("Record state:checked", "RECORD_STATE('IS_CHECKED')", 175, 200, 75);
    // The automatic pin (115, 120) lies in the first circle alone; add the middle and the
    // region of the second and third circles without the first.
    f.doubleClick({175, 136});
    f.doubleClick({228, 190});
    ASSERT_EQ(f.w.PinCount(), 3);
    const QImage img = f.seen();
    if (const QByteArray shot = qgetenv("QRL_SCREENSHOT"); !shot.isEmpty())
        f.w.grab().save(QString::fromLocal8Bit(shot));
    // Pinned regions are hatched, the others are not.
    EXPECT_GT(countColour(img, QRect(80, 100, 20, 20), HatchGray), 20); // first only
    EXPECT_GT(countColour(img, QRect(165, 126, 20, 10), HatchGray), 5); // all three
    EXPECT_GT(countColour(img, QRect(225, 185, 10, 10), HatchGray), 5); // second and third
    EXPECT_EQ(countColour(img, QRect(250, 80, 20, 20), HatchGray), 0);  // second only
    EXPECT_EQ(countColour(img, QRect(165, 245, 20, 20), HatchGray), 0); // third only
    EXPECT_EQ(countColour(img, QRect(350, 300, 40, 40), HatchGray), 0); // outside
}

TEST(TOclouds, PeriodicRepaintClearsWhatDirectDrawingLeaves) {
    Frame f;
    TQELlc* c = f.w.AddCircle("a", "A", 200, 200, 80);
    f.w.Select(c);
    const QPoint onOutline(c->X - 80, c->Y);
    EXPECT_TRUE(hasColourNear(f.pb()->grab().toImage(), onOutline, Qt::black));
    // Deleting repaints nothing at once; the 500 ms timer removes the circle from the screen.
    f.w.DeleteSelected();
    EXPECT_TRUE(hasColourNear(f.pb()->grab().toImage(), onOutline, Qt::black));
    QTest::qWait(700);
    const QImage img = f.pb()->grab().toImage();
    EXPECT_FALSE(hasColourNear(img, onOutline, Qt::black));
    EXPECT_FALSE(hasColourNear(img, onOutline, QColor(0x80, 0x80, 0x80)));
}

TEST(TOclouds, EnterInADialogEditsOnce) {
    QDialog dialog;
    auto* cloud = new TOadvCloud(&dialog);
    cloud->resize(400, 300);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    cloud->Stop();
    cloud->Start();
    cloud->AddCircle("a", "A", 100, 100, 50);
    int edits = 0;
    cloud->SetOnEdit([&](TQELlc*) { ++edits; });
    QTest::keyClick(cloud->btnTarget, Qt::Key_Enter);
    EXPECT_EQ(edits, 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(TOclouds, ConditionsFileShowsTheSameDiagram) {
    TempDir dir;
    QImage saved;
    {
        Frame f;
        f.w.AddCircle("garden", "EXISTS('GARDEN')", 130, 120, 75);
        f.w.AddCircle("tools", "EXISTS('TOOLS')", 220, 120, 75);
        f.doubleClick({175, 120});
        f.w.Select(nullptr);
        saved = f.seen();
        SaveConditionsFile(f.w, dir.path("a.qrc"));
    }
    Frame g;
    g.w.AddCircle("other", "X", 300, 300, 40);
    LoadConditionsFile(g.w, dir.path("a.qrc"));
    EXPECT_EQ(g.w.CircleCount(), 2);
    // The paint boxes may differ in size by the focus bevel; the drawing does not.
    const QRect area(0, 0, 500, 400);
    EXPECT_EQ(g.pb()->grab().toImage().copy(area), saved.copy(area));
}

// The diagram by keyboard ends as the mouse leaves it, and a screen reader follows the keys.
TEST(TOclouds, KeyboardEditsAsTheMouseDoesAndTellsTheScreenReader) {
    Frame keys, mouse;
    for (Frame* f : {&keys, &mouse}) {
        f->w.AddCircle("a", "A", 150, 150, 60); // its pin: (138, 150)
        f->w.AddCircle("b", "B", 230, 150, 60);
        f->w.Select(nullptr);
    }
    keys.w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&keys.w));
    QWidget* target = keys.w.btnTarget;
    target->setFocus();
    QAccessibleInterface* diagram = QAccessible::queryAccessibleInterface(target);
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(diagram->role(), QAccessible::List);
    EXPECT_EQ(diagram->text(QAccessible::Name), "Condition diagram");
    const auto children = [&] {
        QStringList out;
        for (int i = 0; i < diagram->childCount(); ++i) {
            QAccessibleInterface* child = diagram->child(i);
            out << child->text(QAccessible::Name) + (child->state().selected ? " *" : "");
            EXPECT_EQ(diagram->indexOfChild(child), i);
        }
        return out;
    };
    EXPECT_EQ(children(), (QStringList{"Circle a", "Circle b", "Pin in a"}));
    // Right: the first circle, the second, the pin; Left: back to the second circle.
    QTest::keyClick(target, Qt::Key_Right);
    QTest::keyClick(target, Qt::Key_Right);
    QTest::keyClick(target, Qt::Key_Right);
    QTest::keyClick(target, Qt::Key_Left);
    EXPECT_EQ(keys.w.Selected(), keys.w.GetCircle(1));
    EXPECT_EQ(children(), (QStringList{"Circle a", "Circle b *", "Pin in a"}));
    EXPECT_TRUE(diagram->child(1)->state().focused);
    // Moved 5 to the right, 5 larger, a pin in b alone.
    QTest::keyClick(target, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(target, Qt::Key_P);
    EXPECT_EQ(diagram->focusChild(), diagram->child(1));
    EXPECT_EQ(diagram->child(1)->text(QAccessible::Value), "Centre 235, 150, radius 65");
    const TQELlc* b = keys.w.GetCircle(1);
    EXPECT_EQ(QRect(b->X, b->Y, b->Radius, 0), QRect(235, 150, 65, 0));
    ASSERT_EQ(keys.w.PinCount(), 2);
    const QPoint pin(keys.w.GetPin(1)->X, keys.w.GetPin(1)->Y);
    EXPECT_EQ(children(), (QStringList{"Circle a", "Circle b *", "Pin in a", "Pin in b"}));

    mouse.press({290, 150});
    mouse.move({295, 150});
    mouse.release({295, 150});
    mouse.press({295, 150});
    mouse.shiftMove({300, 150});
    mouse.release({300, 150});
    mouse.doubleClick(pin);
    const TQELlc* mb = mouse.w.GetCircle(1);
    EXPECT_EQ(QRect(mb->X, mb->Y, mb->Radius, 0), QRect(235, 150, 65, 0));
    EXPECT_EQ(keys.w.ExpressionText(), mouse.w.ExpressionText());

    // Left: the first circle, and round to the last shape, the new pin; Delete takes it. Then
    // the second circle, after the question.
    QTest::keyClick(target, Qt::Key_Left);
    EXPECT_EQ(children(), (QStringList{"Circle a *", "Circle b", "Pin in a", "Pin in b"}));
    QTest::keyClick(target, Qt::Key_Left, Qt::KeypadModifier); // the keypad's arrows as well
    EXPECT_EQ(children(), (QStringList{"Circle a", "Circle b", "Pin in a", "Pin in b *"}));
    SaveScreenshot(&keys.w, "diagram-keyboard-on-a-pin");
    QTest::keyClick(target, Qt::Key_Delete);
    EXPECT_EQ(children(), (QStringList{"Circle a", "Circle b", "Pin in a"}));
    QTest::keyClick(target, Qt::Key_Down);
    QTest::keyClick(target, Qt::Key_Down);
    DialogDriver dialogs;
    dialogs.Yes();
    QTest::keyClick(target, Qt::Key_Delete);
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(children(), (QStringList{"Circle a", "Pin in a"}));
}

// At twice the scale the buffer has twice the pixels each way, and the region fill covers
// the same paint-box pixels: its pattern is four device pixels for each one of the 1x pattern.
// (Run at QT_SCALE_FACTOR=2 by the test test_clouds_2x.)
TEST(TOclouds, DrawnAtTheScreensPixelRatio) {
    Frame f;
    f.w.AddCircle("a", "A", 200, 200, 80);
    f.seen();
    const qreal ratio = f.pb()->devicePixelRatioF();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") {
        EXPECT_EQ(ratio, 2.0);
    }
    const QImage& buffer = f.w.BackBuffer().Image();
    EXPECT_EQ(buffer.devicePixelRatio(), ratio);
    EXPECT_EQ(buffer.size(), f.w.BackBuffer().Area().size() * ratio);
    EXPECT_EQ(f.w.BackBuffer().Area().size(), f.pb()->size());

    // The same diagram drawn at 1x and 2x.
    int hatched[2] = {0, 0};
    for (int scale : {1, 2}) {
        TCloudImageCanvas canvas;
        TCloudDiagram d;
        d.SetCanvas(&canvas);
        d.Start();
        d.AddCircle("a", "A", 200, 200, 80);
        canvas.Erase(QRect(0, 0, 400, 300), Qt::white, scale);
        d.Paint();
        ASSERT_EQ(canvas.Image().size(), QSize(400, 300) * scale);
        hatched[scale - 1] = countColour(
            canvas.Image(), QRect(QPoint(150, 150) * scale, QSize(25, 25) * scale), HatchGray);
        // A hatch line at 1x is a hatch line of 2 x 2 pixels at 2x.
        EXPECT_EQ(canvas.Image().pixelColor(QPoint(168, 160) * scale), HatchGray);
        EXPECT_EQ(canvas.Image().pixelColor(QPoint(168, 161) * scale), Qt::white);
    }
    EXPECT_GT(hatched[0], 50);
    EXPECT_EQ(hatched[1], 4 * hatched[0]);
}
