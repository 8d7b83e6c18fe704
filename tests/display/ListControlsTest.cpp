// Drawers and the drawing list, its header and row header, probed pixel by pixel (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "display/DrawingHeaderCtrl.h"
#include "display/DrawingListCtrl.h"
#include "display/IconManager.h"
#include "display/MouseDrag.h"
#include "display/MyButtonSkinDrawer.h"
#include "display/MyIconDrawer.h"
#include "display/MyTextDrawer.h"
#include "display/RowHeaderCtrl.h"
#include "display/TestApplication.h"

namespace {

using VEK::CTextBkDrawer;
using VEK::CTextDrawer;
using VEK::MFC::CDrawingListCtrl;
using VEK::MFC::CRowHeaderCtrl;

constexpr uint32_t kCellBackground = 0xF0F0F0;

QRgb Rgb(uint32_t rgb) {
    return 0xFF000000u | rgb;
}
QRgb ShadowColor() {
    return QApplication::palette().color(QPalette::Dark).rgb();
}

// The drawer painted on a white image of its size.
QImage Paint(VEK::IDrawable& drawer, int width, int height) {
    drawer.SetSize(width, height);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawer.Draw(painter, 0, 0);
    return image;
}

// The columns of x0..x1 holding a pixel of this colour, as the leftmost and rightmost.
// Text is smoothed: its thin strokes may have no pixel of the exact colour, only ones near it.
std::pair<int, int> ColumnsWith(const QImage& image, QRect area, QRgb color) {
    const auto near = [color](QRgb pixel) {
        return std::abs(qRed(pixel) - qRed(color)) + std::abs(qGreen(pixel) - qGreen(color)) +
                   std::abs(qBlue(pixel) - qBlue(color)) <
               250;
    };
    int left = -1, right = -1;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (near(image.pixel(x, y))) {
                if (left < 0)
                    left = x;
                right = x;
            }
    return {left, right};
}

class ListControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    QFont font{QApplication::font()};
};

TEST_F(ListControlsTest, TextIsPlacedByItsFormat) {
    const QString text = "Temp";
    const QFontMetrics metrics(font);
    // The drawer measures the text's box, which may round a pixel wider than its advance.
    const int w = metrics.boundingRect(QRect(0, 0, 1000, 100), 0, text).width();
    const int h = metrics.height();
    struct TCase {
        uint32_t format;
        int margin;
        int x, y;
    };
    const TCase cases[] = {
        {CTextDrawer::kCentre | CTextDrawer::kVCentre, 0, (100 - w) / 2, (40 - h) / 2},
        {CTextDrawer::kLeft, 2, 2, 0},
        {CTextDrawer::kRight | CTextDrawer::kBottom, 2, 100 - w, 40 - h},
        {CTextDrawer::kCentre, 10, 10 + (90 - w) / 2, 0},
    };
    for (const TCase& c : cases) {
        CTextDrawer drawer(100, 40, font, 0, text, c.format | CTextDrawer::kSingleLine, c.margin);
        EXPECT_EQ(drawer.TextBox(0, 0), QRect(c.x, c.y, w, h)) << c.format;
        EXPECT_EQ(drawer.TextBox(5, 7), QRect(c.x + 5, c.y + 7, w, h));
    }
    CTextDrawer fit(0, 0, font, 0, text, 0, 3);
    fit.FitToText();
    EXPECT_EQ(fit.Size(), QSize(3 + w, h));
}

TEST_F(ListControlsTest, ValueCellsHaveBackgroundShadowLinesAndAlignedText) {
    for (uint32_t align : {CTextDrawer::kRight, CTextDrawer::kCentre}) {
        const CTextBkDrawer inner(0, 0, font, 0x000000, "+25.0 ",
                                  align | CTextDrawer::kVCentre | CTextDrawer::kSingleLine, 2,
                                  kCellBackground);
        CMyTextDrawer cell(0, 0, inner);
        const QImage image = Paint(cell, 100, 30);
        EXPECT_EQ(image.pixel(0, 0), Rgb(0xFFFFFF)) << "the margin is not the text drawer's";
        EXPECT_EQ(image.pixel(2, 0), Rgb(kCellBackground));
        EXPECT_EQ(image.pixel(50, 29), ShadowColor());  // bottom line
        EXPECT_EQ(image.pixel(99, 10), ShadowColor());  // right line
        EXPECT_EQ(image.pixel(98, 28), Rgb(kCellBackground));
        // Where the black text lies in the cell.
        const auto [left, right] = ColumnsWith(image, QRect(0, 0, 99, 29), Rgb(0));
        ASSERT_GE(left, 0);
        if (align == CTextDrawer::kRight) {
            EXPECT_GT(left, 50);
            EXPECT_GE(right, 85);  // only the trailing blank after the digits
        } else {
            EXPECT_NEAR((left + right) / 2.0, 51, 8);
        }
    }
}

TEST_F(ListControlsTest, IconCellsCentreTheIcon) {
    VEK::CIconManager icons;
    const QIcon& full = icons.Icon(145);
    EXPECT_EQ(&full, &icons.Icon(145)) << "kept, not drawn again";
    for (int id : {140, 142, 143, 144, 145}) EXPECT_FALSE(icons.Icon(id).isNull()) << id;
    EXPECT_TRUE(icons.Icon(141).isNull());
    const QImage level0 = icons.Icon(142).pixmap(16, 16).toImage();
    const QImage level3 = icons.Icon(145).pixmap(16, 16).toImage();
    EXPECT_EQ(level0.size(), QSize(16, 16));
    EXPECT_NE(level0, level3);

    CMyIconDrawer cell(0, 0, 16, 16, VEK::CIconDrawer(16, 16, full));
    const QImage image = Paint(cell, 40, 30);
    // Icon pixels only within the centred 16 x 16 square at (12, 7).
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 39; ++x)
            if (!QRect(12, 7, 16, 16).contains(x, y)) {
                EXPECT_EQ(image.pixel(x, y), Rgb(0xFFFFFF)) << x << "," << y;
            }
    EXPECT_NE(image.copy(12, 7, 16, 16), QImage(16, 16, QImage::Format_RGB32));
    EXPECT_EQ(image.pixel(20, 29), ShadowColor());
    EXPECT_EQ(image.pixel(39, 20), ShadowColor());
}

TEST_F(ListControlsTest, ButtonSkinIsAColourPatchOrTheButtonFace) {
    CMyButtonSkinDrawer patch(0, 0, CTextDrawer::kCentre | CTextDrawer::kVCentre, font, 0, 0xFF0000, "");
    const QImage image = Paint(patch, 50, 24);
    EXPECT_EQ(image.pixel(0, 0), Rgb(0xA0A0A0));
    EXPECT_EQ(image.pixel(49, 23), Rgb(0xA0A0A0));
    EXPECT_EQ(image.pixel(25, 0), Rgb(0xA0A0A0));
    EXPECT_EQ(image.pixel(1, 1), Rgb(0xFF0000));
    EXPECT_EQ(image.pixel(25, 12), Rgb(0xFF0000));

    CMyButtonSkinDrawer face(0, 0, 0, font, 0, CMyButtonSkinDrawer::kStandardFace, "");
    const QImage standard = Paint(face, 50, 24);
    EXPECT_NE(standard.pixel(25, 12), Rgb(0xFFFFFF)) << "a face was drawn";
    EXPECT_NE(standard.pixel(25, 12), Rgb(0xFF0000));
}

class DrawingListTest : public ListControlsTest {
protected:
    void SetUp() override {
        rowHeader.resize(400, 300);
        rowHeader.Attach(list, 50, true);
        list->InsertColumn(0, CTextDrawer(0, 0, font, 0, "Temp.", CTextDrawer::kCentre), 100);
        list->InsertColumn(1, CTextBkDrawer(0, 0, font, 0, "Type", CTextDrawer::kCentre, 0, 0xFFA500), 60);
        list->SetBackgroundColor(kCellBackground);
        for (int row = 0; row < 3; ++row) {
            list->InsertRow();
            rowHeader.SetRowDrawer(
                row, CMyButtonSkinDrawer(0, 0, CTextDrawer::kCentre | CTextDrawer::kVCentre, font, 0,
                                         0x00FF00, QString::number(row + 1)));
        }
        rowHeader.show();
        QCoreApplication::sendPostedEvents();
    }

    CRowHeaderCtrl rowHeader;
    CDrawingListCtrl* list = new CDrawingListCtrl;  // the row header's child once attached
};

TEST_F(DrawingListTest, TheRowHeaderCarriesTheListAndItsPatches) {
    EXPECT_EQ(list->parentWidget(), &rowHeader);
    EXPECT_EQ(list->geometry(), QRect(50, 0, 350, 300));
    const QImage image = rowHeader.grab().toImage();
    const QRect row1 = rowHeader.RowRect(1);
    ASSERT_FALSE(row1.isEmpty());
    EXPECT_EQ(row1.top(), list->Header()->height() + list->rowHeight(0));
    EXPECT_EQ(image.pixel(row1.left(), row1.top()), Rgb(0xA0A0A0));
    EXPECT_EQ(image.pixel(row1.left() + 2, row1.top() + 2), Rgb(0x00FF00));
    // The orange header item and the list's background beyond the last row.
    const int header = list->Header()->height();
    EXPECT_EQ(image.pixel(50 + 100 + 3, header / 2), Rgb(0xFFA500));
    EXPECT_NE(image.pixel(50 + 3, header / 2), Rgb(0xFFA500));
    EXPECT_EQ(image.pixel(300, 290), Rgb(kCellBackground));
    EXPECT_EQ(image.pixel(390, header + 5), Rgb(kCellBackground));
}

TEST_F(DrawingListTest, ANewCellDrawerRepaintsThatCellOnly) {
    QSignalSpy changed(list->model(), &QAbstractItemModel::dataChanged);
    list->SetCellDrawer(
        1, 2,
        CMyTextDrawer(0, 0,
                      CTextBkDrawer(0, 0, font, 0xFF0000, "Lost", CTextDrawer::kCentre, 2, kCellBackground)));
    ASSERT_EQ(changed.count(), 1);
    const QModelIndex first = changed[0][0].value<QModelIndex>();
    const QModelIndex last = changed[0][1].value<QModelIndex>();
    EXPECT_EQ(std::make_pair(first.row(), first.column()), std::make_pair(2, 1));
    EXPECT_EQ(first, last);
    // The list keeps a clone: the cell is painted with red text.
    const QImage image = list->viewport()->grab().toImage();
    const QRect cell = list->visualRect(list->model()->index(2, 1));
    EXPECT_GE(ColumnsWith(image, cell, Rgb(0xFF0000)).first, cell.left());
    list->DeleteColumn(1);
    EXPECT_EQ(list->ColumnCount(), 1);
    EXPECT_EQ(list->CellDrawer(1, 2), nullptr);
}

TEST_F(DrawingListTest, TheRowHeaderEdgeDragsWithinItsLimits) {
    struct TCase {
        int pressX;
        int moveX;
        bool rightButton;
        int width;
        bool reported;
    };
    const TCase cases[] = {
        {47, 1000, false, 395, true},  // far right: client width - 5
        {47, -1000, false, 5, true},   // far left: 5
        {47, 120, false, 123, true},   // the edge follows the mouse, keeping the grip's offset
        {47, 200, true, 50, false},    // the right button restores the width at the press
        {40, 200, false, 50, false},   // outside the edge zone nothing is dragged
    };
    for (const TCase& c : cases) {
        rowHeader.SetStripWidth(50);
        QSignalSpy ended(&rowHeader, &CRowHeaderCtrl::widthDragEnded);
        const int y = 100;
        DragMouse(&rowHeader, QPoint(c.pressX, y), QPoint(c.moveX, y), [&] {
            if (c.rightButton)
                QTest::mousePress(&rowHeader, Qt::RightButton, {}, QPoint(c.moveX, y));
        });
        EXPECT_EQ(rowHeader.StripWidth(), c.width) << c.pressX << " " << c.moveX;
        EXPECT_EQ(list->x(), c.width);
        EXPECT_EQ(ended.count(), c.reported ? 1 : 0) << c.moveX;
    }
}

TEST_F(DrawingListTest, AClickReportsTheRow) {
    QSignalSpy clicked(&rowHeader, &CRowHeaderCtrl::clicked);
    const QRect row2 = rowHeader.RowRect(2);
    QTest::mouseClick(&rowHeader, Qt::LeftButton, {}, row2.center() - QPoint(10, 0));
    QTest::mouseClick(&rowHeader, Qt::LeftButton, {}, QPoint(10, 5));    // the title
    QTest::mouseClick(&rowHeader, Qt::LeftButton, {}, QPoint(10, 290));  // below the last row
    ASSERT_EQ(clicked.count(), 3);
    EXPECT_EQ(clicked[0][0].toInt(), 2);
    EXPECT_EQ(clicked[1][0].toInt(), -1);
    EXPECT_EQ(clicked[2][0].toInt(), -1);
}

TEST_F(DrawingListTest, TheHeaderReportsTheEndOfADividerDrag) {
    VEK::MFC::CDrawingHeaderCtrl* header = list->Header();
    QSignalSpy ended(header, &VEK::MFC::CDrawingHeaderCtrl::dividerDragEnded);
    DragDivider(*header, 0, 30);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_GT(list->columnWidth(0), 100);
    // A click on an item is no drag, and sorts nothing.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, header->height() / 2));
    EXPECT_EQ(ended.count(), 1);
}

}  // namespace
