// The drawers of the custom-drawn controls and the standard parts, probed pixel by pixel
// (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "display/BitmapDrawer.h"
#include "display/DisabledDrawer.h"
#include "display/IconDrawer.h"
#include "display/IconManager.h"
#include "display/MyDropdownButtonSkinDrawer.h"
#include "display/MyFlameStatic.h"
#include "display/StandardPartsDrawer.h"
#include "display/TestApplication.h"
#include "display/TextDrawer.h"

namespace {

using VEK::CTextDrawer;
using VEK::MFC::CStandardPartsDrawer;
using VEK::MFC::IPartsDrawable;

QImage WhiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QImage Paint(const VEK::IDrawable& drawer, int width, int height, int x = 0, int y = 0) {
    QImage image = WhiteImage(width, height);
    QPainter painter(&image);
    drawer.Draw(painter, x, y);
    return image;
}

// The smallest rectangle holding every pixel that is not white.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

class DrawerProbeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    QFont font{QApplication::font()};
};

// Each format places the measured text box in the cell; the ink lies inside that box.
TEST_F(DrawerProbeTest, TheTextRulePlacesTheMeasuredBox) {
    const QString text = "Ab 12";
    const QFontMetrics metrics(font);
    // The text's box, which may round a pixel wider than its advance.
    const int w = metrics.boundingRect(QRect(0, 0, 1000, 100), 0, text).width();
    const int h = metrics.height();
    ASSERT_LT(h, 20);
    struct TCase {
        const char* name;
        QSize cell;
        uint32_t format;
        int margin;
        QPoint at;
    };
    const TCase cases[] = {
        {"centred both ways",
         {100, 20},
         CTextDrawer::kCentre | CTextDrawer::kVCentre,
         0,
         {(100 - w) / 2, (20 - h) / 2}},
        {"right, top", {100, 20}, CTextDrawer::kRight, 0, {100 - w, 0}},
        {"left, bottom", {100, 30}, CTextDrawer::kBottom, 0, {0, 30 - h}},
        {"margin, left", {100, 20}, CTextDrawer::kLeft | CTextDrawer::kVCentre, 7, {7, (20 - h) / 2}},
        {"margin, centred", {100, 20}, CTextDrawer::kCentre, 10, {10 + (90 - w) / 2, 0}},
    };
    for (const TCase& c : cases) {
        const CTextDrawer drawer(c.cell.width(), c.cell.height(), font, 0x000000, text, c.format, c.margin);
        const QRect box(c.at, QSize(w, h));
        EXPECT_EQ(drawer.TextBox(0, 0), box) << c.name;
        const QRect ink = InkBox(Paint(drawer, c.cell.width() + 10, c.cell.height() + 10, 0, 0));
        ASSERT_FALSE(ink.isEmpty()) << c.name;
        EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(ink)) << c.name;
        // Drawn elsewhere, the same offset.
        EXPECT_EQ(InkBox(Paint(drawer, c.cell.width() + 10, c.cell.height() + 10, 4, 3)),
                  ink.translated(4, 3))
            << c.name;
    }
}

// A value too wide for its cell keeps its sign: right-aligned text then starts at the cell's left.
TEST_F(DrawerProbeTest, RightAlignedTextTooWideKeepsItsBeginning) {
    const QString text = "-103.5";
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(text);
    for (const int margin : {0, 3}) {
        const CTextDrawer drawer(w / 2, 20, font, 0x000000, text, CTextDrawer::kRight, margin);
        EXPECT_EQ(drawer.TextBox(0, 0).left(), margin) << margin;
    }
    const CTextDrawer fits(w + 10, 20, font, 0x000000, text, CTextDrawer::kRight);
    EXPECT_EQ(fits.TextBox(0, 0).left(), 10);
}

TEST_F(DrawerProbeTest, TextColoursDisabledAndTheSurfacePen) {
    const uint32_t format = CTextDrawer::kCentre | CTextDrawer::kVCentre;
    const QImage red = Paint(CTextDrawer(100, 20, font, 0xFF0000, "Hm", format), 100, 20);
    const QImage disabled =
        Paint(CTextDrawer(100, 20, font, CTextDrawer::kDisabledColor, "Hm", format), 100, 20);
    QImage surface = WhiteImage(100, 20);
    {
        QPainter painter(&surface);
        painter.setPen(QColor(0, 0, 255));
        CTextDrawer(100, 20, font, CTextDrawer::kSurfaceColor, "Hm", format).Draw(painter, 0, 0);
    }
    // Text is smoothed: a pixel counts when it is close to the colour.
    auto holds = [](const QImage& image, QColor colour) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                        std::abs(pixel.blue() - colour.blue()) <
                    60)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(holds(red, QColor(255, 0, 0)));
    EXPECT_TRUE(holds(surface, QColor(0, 0, 255))) << "the painter's pen";
    EXPECT_FALSE(holds(disabled, QColor(255, 0, 0)));
    EXPECT_FALSE(holds(disabled, QColor(0, 0, 0)));
    EXPECT_TRUE(holds(disabled, QApplication::palette().color(QPalette::Dark))) << "embossed grey";

    CTextDrawer fit(0, 0, font, 0, "Ab 12", 0, 5);
    fit.FitToText();
    EXPECT_EQ(fit.Size(),
              QSize(5 + QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 100), 0, "Ab 12").width(),
                    QFontMetrics(font).height()));
}

TEST_F(DrawerProbeTest, TheFrameDrawerHasFramesInsetByOneAndFour) {
    const QRgb beige = qRgb(245, 245, 220);
    const QRgb face = QApplication::palette().color(QPalette::Button).rgb();
    ASSERT_NE(face, beige);
    const QImage image = Paint(CMyFlameStatic::CMyFrameDrawer(40, 30), 40, 30);
    for (int inset : {1, 4}) {
        EXPECT_EQ(image.pixel(inset, 15), face) << inset;       // left
        EXPECT_EQ(image.pixel(39 - inset, 15), face) << inset;  // right
        EXPECT_EQ(image.pixel(20, inset), face) << inset;       // top
        EXPECT_EQ(image.pixel(20, 29 - inset), face) << inset;  // bottom
    }
    for (int between : {0, 2, 3, 5, 20}) EXPECT_EQ(image.pixel(between, 15), beige) << between;
    EXPECT_EQ(image.pixel(20, 15), beige);
}

TEST_F(DrawerProbeTest, DisabledDrawingIsGreyUnlikeTheIcon) {
    VEK::CIconManager icons;
    const VEK::CIconDrawer start(32, 32, icons.Icon(158));
    const VEK::CDisabledDrawer disabled(start);
    EXPECT_EQ(disabled.Size(), QSize(32, 32));
    const QImage normal = Paint(start, 32, 32);
    const QImage grey = Paint(disabled, 32, 32);
    EXPECT_NE(normal, grey);
    EXPECT_FALSE(InkBox(grey).isEmpty());
    // Where the icon is green the disabled one has no colour.
    int greenPixels = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor n = normal.pixelColor(x, y);
            if (n.green() > 120 && n.red() < 100) {
                ++greenPixels;
                const QColor g = grey.pixelColor(x, y);
                EXPECT_LE(std::abs(g.red() - g.green()), 12) << x << "," << y;
            }
        }
    EXPECT_GT(greenPixels, 50);
}

TEST_F(DrawerProbeTest, ABitmapDrawsOneToOneAtItsOwnSize) {
    VEK::CBitmapImage bitmap(6, 4, 0x0000FF);
    EXPECT_EQ(bitmap.Image().pixel(5, 3), qRgb(0, 0, 255));
    VEK::CBitmapDrawer drawer(bitmap);
    EXPECT_EQ(drawer.Size(), QSize(6, 4));
    EXPECT_FALSE(drawer.SetSize(10, 10));
    EXPECT_TRUE(drawer.SetSize(6, 4));
    const QImage image = Paint(drawer, 20, 20, 3, 2);
    EXPECT_EQ(InkBox(image), QRect(3, 2, 6, 4));
    EXPECT_EQ(VEK::CBitmapImage(3, 3).Image().pixel(1, 1), qRgba(0, 0, 0, 0)) << "unfilled";
}

TEST_F(DrawerProbeTest, TheDropdownSkinIsAWhiteFieldAndAButtonSquare) {
    const CMyDropdownButtonSkinDrawer drawer(120, 24, 0, font, "");
    const QImage image = Paint(drawer, 120, 24);
    const int edge = CStandardPartsDrawer().EdgeSize();
    const int side = 24 - 2 * edge;
    EXPECT_EQ(image.pixel(10, 12), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(120 - edge - side - 1, 12), qRgb(255, 255, 255)) << "the field ends at the square";
    // The square holds the arrow: dark pixels at its centre column.
    bool arrow = false;
    for (int y = edge; y < 24 - edge; ++y) arrow |= qGray(image.pixel(120 - edge - side / 2 - 1, y)) < 80;
    EXPECT_TRUE(arrow);
    EXPECT_NE(image.pixel(0, 12), qRgb(255, 255, 255)) << "the sunken edge";
}

TEST_F(DrawerProbeTest, StandardPartsDrawChecksInThirteenPixelsAndFacesByState) {
    const CStandardPartsDrawer parts;
    EXPECT_GE(parts.EdgeSize(), 1);
    for (auto frame : {IPartsDrawable::kFrameCheck, IPartsDrawable::kFrameRadio}) {
        QImage image = WhiteImage(41, 41);
        {
            QPainter painter(&image);
            parts.DrawFrameControl(painter, image.rect(), frame, IPartsDrawable::kChecked);
        }
        const QRect ink = InkBox(image);
        EXPECT_FALSE(ink.isEmpty()) << frame;
        EXPECT_TRUE(QRect(14, 14, 13, 13).contains(ink))
            << frame << ": " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    }
    auto face = [&](unsigned state) {
        QImage image = WhiteImage(60, 30);
        QPainter painter(&image);
        parts.DrawFrameControl(painter, image.rect(), IPartsDrawable::kFramePush, state);
        return image;
    };
    const QImage normal = face(IPartsDrawable::kNormal);
    EXPECT_FALSE(InkBox(normal).isEmpty());
    EXPECT_NE(face(IPartsDrawable::kPushed), normal);
    EXPECT_NE(face(IPartsDrawable::kInactive), face(IPartsDrawable::kPushed));
    EXPECT_TRUE(InkBox(face(IPartsDrawable::kFlat)).isEmpty()) << "a flat face shows only when hot or pushed";
    EXPECT_FALSE(InkBox(face(IPartsDrawable::kFlat | IPartsDrawable::kHot)).isEmpty());

    QImage edge = WhiteImage(30, 30);
    QImage focus = WhiteImage(30, 30);
    {
        QPainter painter(&edge);
        parts.DrawEdge(painter, QRect(5, 5, 20, 20), IPartsDrawable::kEdgeSunken);
        QPainter focusPainter(&focus);
        parts.DrawFocusRect(focusPainter, QRect(5, 5, 20, 20));
    }
    EXPECT_TRUE(QRect(5, 5, 20, 20).contains(InkBox(edge)));
    EXPECT_FALSE(InkBox(edge).isEmpty());
    EXPECT_TRUE(QRect(5, 5, 20, 20).contains(InkBox(focus)));
}

}  // namespace
