// The custom-drawn controls: buttons with their states and notifications, the statics, the scroll
// bar that applies its own requests, and the painted icons (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "display/BitmapDrawer.h"
#include "display/IconManager.h"
#include "display/MyFlameStatic.h"
#include "display/MyIconButton.h"
#include "display/MyTextStatic.h"
#include "display/ScrollBarEx.h"
#include "display/TestApplication.h"

namespace {

using VEK::MFC::CDrawingButton;
using VEK::MFC::CDrawingStatic;
using VEK::MFC::CScrollBarEx;

constexpr int kButtonIcons[] = {130, 131, 132, 133, 134, 135, 156, 157, 158,
                                159, 160, 161, 162, 163, 164, 165, 166};

std::vector<int> Codes(const QSignalSpy& spy) {
    std::vector<int> codes;
    for (const QList<QVariant>& call : spy) codes.push_back(call.at(0).toInt());
    return codes;
}

// Where the pure red pixels of an image start.
QPoint FirstRed(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                return {x, y};
    return {-1, -1};
}

void Enter(QWidget& widget) {
    QEnterEvent enter(QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)), widget.mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(&widget, &enter);
}
void Leave(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

class DrawnControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        button = new CDrawingButton(&window);
        button->SetContentDrawer(VEK::CBitmapDrawer(VEK::CBitmapImage(4, 4, 0xFF0000)));
        button->setGeometry(0, 0, 40, 30);
        window.resize(200, 100);
        window.show();
    }

    QWidget window;
    CDrawingButton* button = nullptr;
};

TEST_F(DrawnControlsTest, AButtonShowsItsFourStatesAndShiftsThePressedContent) {
    EXPECT_EQ(button->State(), CDrawingButton::kStateNormal);
    const QImage normal = button->grab().toImage();
    const QPoint at = FirstRed(normal);
    EXPECT_EQ(at, QPoint(18, 13)) << "centred";
    Enter(*button);
    EXPECT_EQ(button->State(), CDrawingButton::kStateHover);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(button->State(), CDrawingButton::kStatePressed);
    EXPECT_EQ(FirstRed(button->grab().toImage()), at + QPoint(1, 1));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(button->State(), CDrawingButton::kStateHover);
    Leave(*button);
    button->setEnabled(false);
    EXPECT_EQ(button->State(), CDrawingButton::kStateDisabled);
    EXPECT_NE(button->grab().toImage(), normal);
}

TEST_F(DrawnControlsTest, AButtonReportsItsNotifications) {
    QSignalSpy notified(button, &CDrawingButton::notified);
    QSignalSpy released(button, &QAbstractButton::released);
    using B = CDrawingButton;
    struct TCase {
        const char* name;
        bool pressNotify;
        std::function<void(CDrawingButton&)> act;
        std::vector<int> codes;
        int releases;
    };
    const TCase cases[] = {
        {"click",
         false,
         [](B& b) { QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5)); },
         {B::kClicked},
         1},
        {"click with press notifications",
         true,
         [](B& b) { QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5)); },
         {B::kPressed, B::kReleased, B::kClicked},
         1},
        {"release outside",
         true,
         [](B& b) {
             QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
             QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(100, 5));
         },
         {B::kPressed, B::kReleased},
         1},
        {"space",
         false,
         [](B& b) {
             b.setFocus();
             QTest::keyClick(&b, Qt::Key_Space);
         },
         {B::kClicked},
         1},
        {"double click",
         false,
         [](B& b) {
             QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
             b.SetDoubleClickNotify(true);
             QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), b.mapToGlobal(QPointF(5, 5)),
                               Qt::LeftButton, Qt::LeftButton, {});
             QApplication::sendEvent(&b, &twice);
             QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
             b.SetDoubleClickNotify(false);
         },
         {B::kClicked, B::kDoubleClicked, B::kClicked},
         2},
        {"hover and leave",
         true,
         [](B& b) {
             Enter(b);
             Leave(b);
         },
         {B::kHover, B::kLeave},
         0},
        {"disabled while down",
         true,
         [](B& b) {
             QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
             b.setEnabled(false);
         },
         {B::kPressed, B::kReleased},
         1},
        {"hidden while down",
         true,
         [](B& b) {
             QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
             b.hide();
         },
         {B::kPressed, B::kReleased},
         1},
    };
    for (const TCase& c : cases) {
        button->setEnabled(true);
        button->show();
        button->SetPressNotify(c.pressNotify);
        notified.clear();
        released.clear();
        c.act(*button);
        EXPECT_EQ(Codes(notified), c.codes) << c.name;
        EXPECT_EQ(released.count(), c.releases) << c.name;
        EXPECT_FALSE(button->isDown()) << c.name;
    }
}

TEST_F(DrawnControlsTest, CheckRadioAndThreeStateKinds) {
    button->SetKind(CDrawingButton::kThreeState);
    std::vector<int> states;
    for (int i = 0; i < 4; ++i) {
        button->click();
        states.push_back(button->CheckState());
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 0, 1}));

    button->SetKind(CDrawingButton::kCheck);
    button->click();
    EXPECT_EQ(button->CheckState(), 1);
    button->click();
    EXPECT_EQ(button->CheckState(), 0);

    auto* other = new CDrawingButton(&window, CDrawingButton::kRadio);
    button->SetKind(CDrawingButton::kRadio);
    button->click();
    other->click();
    EXPECT_EQ(button->CheckState(), 0) << "radio buttons of one parent exclude each other";
    EXPECT_EQ(other->CheckState(), 1);
}

TEST_F(DrawnControlsTest, AnIconButtonIsItsIconPlusTheStyleMargins) {
    VEK::CIconManager icons;
    CMyIconButton icon(&window);
    icon.SetIcon(icons.Icon(158));
    const QSize hint = icon.sizeHint();
    EXPECT_GT(hint.width(), 32);
    EXPECT_GT(hint.height(), 32);
    EXPECT_LT(hint.width(), 64);
    icon.resize(hint);
    const QImage enabled = icon.grab().toImage();
    icon.setEnabled(false);
    EXPECT_NE(icon.grab().toImage(), enabled) << "the disabled drawer";
}

// Every request at the start, the middle and the limit applies itself and notifies once, also
// where the position cannot move.
TEST_F(DrawnControlsTest, TheScrollBarAppliesEachRequestAndAlwaysNotifies) {
    using R = CScrollBarEx::ERequest;
    CScrollBarEx bar(Qt::Horizontal, &window);
    bar.setRange(0, 100);
    bar.setPageStep(10);
    QSignalSpy scrolled(&bar, &CScrollBarEx::scrolled);
    struct TCase {
        R request;
        int expected[3];  // from 0, 50 and 100
    };
    const TCase cases[] = {
        {R::kLineUp, {0, 49, 99}},     {R::kLineDown, {1, 51, 100}},      {R::kPageUp, {0, 40, 90}},
        {R::kPageDown, {10, 60, 100}}, {R::kThumbPosition, {30, 30, 30}}, {R::kThumbTrack, {30, 30, 30}},
        {R::kTop, {0, 0, 0}},          {R::kBottom, {100, 100, 100}},     {R::kEndScroll, {0, 50, 100}},
    };
    const int starts[] = {0, 50, 100};
    for (const TCase& c : cases)
        for (int i = 0; i < 3; ++i) {
            bar.setValue(starts[i]);
            scrolled.clear();
            bar.Scroll(c.request, 30);
            EXPECT_EQ(bar.value(), c.expected[i]) << c.request << " from " << starts[i];
            ASSERT_EQ(scrolled.count(), 1) << c.request << " from " << starts[i];
            EXPECT_EQ(scrolled.at(0).at(0).toInt(), CScrollBarEx::kNotifyCode);
        }
    // Qt's own requests (arrows, keys, wheel) take the same way, with the value set when notified.
    for (const auto& [action, expected] : {std::pair{QAbstractSlider::SliderSingleStepSub, 0},
                                           {QAbstractSlider::SliderPageStepAdd, 10},
                                           {QAbstractSlider::SliderToMaximum, 100}}) {
        bar.setValue(0);
        scrolled.clear();
        int seen = -1;
        const auto connection = QObject::connect(&bar, &CScrollBarEx::scrolled, [&] { seen = bar.value(); });
        bar.triggerAction(action);
        QObject::disconnect(connection);
        EXPECT_EQ(scrolled.count(), 1) << action;
        EXPECT_EQ(seen, expected) << action;
    }
}

TEST_F(DrawnControlsTest, ATextStaticIsWhiteOnBeigeAndFitsItsWidestText) {
    CMyTextStatic text("Ready", &window);
    EXPECT_EQ(text.TextColor(), 0xFFFFFFu);
    EXPECT_EQ(text.BackgroundColor(), 0xF5F5DCu);
    text.setGeometry(0, 40, 120, 30);
    text.SetFormat(VEK::CTextDrawer::kCentre | VEK::CTextDrawer::kVCentre);
    QImage image = text.grab().toImage();
    EXPECT_EQ(image.pixel(2, 2), qRgb(245, 245, 220));
    text.SetTextColor(0x000000);
    text.setText("Measuring");
    image = text.grab().toImage();
    int dark = 0;
    for (int x = 0; x < 120; ++x) dark += qGray(image.pixel(x, 15)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 0) << "the new text in the new colour";
    // Colours set through the palette are the static's colours.
    QPalette palette = text.palette();
    palette.setColor(QPalette::Window, QColor(73, 193, 44));
    text.setPalette(palette);
    EXPECT_EQ(text.BackgroundColor(), 0x49C12Cu);
    EXPECT_EQ(text.grab().toImage().pixel(2, 2), qRgb(73, 193, 44));

    const QImage plain = text.grab().toImage();
    text.SetTextColor(VEK::CTextDrawer::kDisabledColor);
    EXPECT_EQ(text.TextColor(), VEK::CTextDrawer::kDisabledColor);
    EXPECT_NE(text.grab().toImage(), plain) << "drawn in the disabled look";
    text.SetTextColor(0x000000);
    EXPECT_EQ(text.TextColor(), 0x000000u);
    EXPECT_EQ(text.grab().toImage(), plain);

    const QFontMetrics metrics(text.font());
    text.setText("A");
    text.SetWidestTexts({"Measuring 00:00:00"});
    EXPECT_EQ(text.sizeHint(), QSize(metrics.horizontalAdvance("Measuring 00:00:00"), metrics.height()));
}

TEST_F(DrawnControlsTest, ADrawingStaticFitsTheDrawerOrTakesItsSize) {
    CDrawingStatic fitted(&window);
    fitted.show();
    fitted.resize(50, 20);
    fitted.SetDrawer(CMyFlameStatic::CMyFrameDrawer(0, 0));
    EXPECT_EQ(fitted.Drawer()->Size(), QSize(50, 20));
    fitted.resize(70, 25);
    EXPECT_EQ(fitted.Drawer()->Size(), QSize(70, 25));

    CDrawingStatic bitmap(&window);
    bitmap.SetBitmap(VEK::CBitmapImage(12, 9, 0xFF0000), CDrawingStatic::kStaticToDrawer);
    EXPECT_EQ(bitmap.size(), QSize(12, 9));
    EXPECT_EQ(bitmap.sizeHint(), QSize(12, 9));
    EXPECT_EQ(bitmap.grab().toImage().pixel(11, 8), qRgb(255, 0, 0));

    CMyFlameStatic frame(&window);
    frame.resize(30, 30);
    EXPECT_EQ(frame.grab().toImage().pixel(1, 10), QApplication::palette().color(QPalette::Button).rgb());
}

// The button icons are drawn at the pixel density asked for: at a ratio of 2 a 32 x 32 icon is a
// 64 x 64 picture as detailed as one drawn at 64 x 64, not an enlarged 32 x 32 one.
TEST_F(DrawnControlsTest, IconsAreSharpAtTwiceTheDensity) {
    VEK::CIconManager icons;
    std::vector<QImage> pictures;
    for (int id : kButtonIcons) {
        const QIcon& icon = icons.Icon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        const QPixmap doubled = icon.pixmap(QSize(32, 32), 2.0);
        EXPECT_EQ(doubled.size(), QSize(64, 64)) << id;
        EXPECT_EQ(doubled.devicePixelRatio(), 2.0) << id;
        const QImage sharp = doubled.toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage direct =
            icon.pixmap(QSize(64, 64), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage enlarged =
            icon.pixmap(QSize(32, 32), 1.0).toImage().scaled(64, 64).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(sharp.copy(), direct.copy()) << id;
        EXPECT_NE(sharp.copy(), enlarged) << id;
        for (const QImage& other : pictures) EXPECT_NE(other, direct) << id << " looks like another icon";
        pictures.push_back(direct);
    }
    for (int id : {140, 142, 145}) EXPECT_EQ(icons.Icon(id).pixmap(QSize(16, 16), 2.0).width(), 32) << id;
}

// A strip of the main window's icon buttons, for looking at: build/screens/controls.png.
TEST_F(DrawnControlsTest, AStripOfIconButtons) {
    VEK::CIconManager icons;
    QWidget strip;
    auto* layout = new QHBoxLayout(&strip);
    for (int id : kButtonIcons) {
        auto* icon = new CMyIconButton(&strip);
        icon->SetIcon(icons.Icon(id));
        layout->addWidget(icon);
        if (id == 166)
            icon->setEnabled(false);
    }
    auto* readout = new CMyTextStatic("+1300.0", &strip);
    readout->SetTextColor(0);
    readout->SetFormat(VEK::CTextDrawer::kRight | VEK::CTextDrawer::kVCentre);
    layout->addWidget(readout);
    strip.show();
    strip.resize(strip.sizeHint());
    QApplication::processEvents();
    for (auto* icon : strip.findChildren<CMyIconButton*>())
        EXPECT_GE(icon->width(), icon->sizeHint().width());
    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    EXPECT_TRUE(strip.grab().save(QStringLiteral(HOLLOWMERE_SCREENS_DIR "/controls.png")));
}

}  // namespace
