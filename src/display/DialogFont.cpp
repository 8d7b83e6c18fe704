#include "display/DialogFont.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStringList>

namespace {
const char kFamily[] = "IPAPGothic";
const char kStandIn[] = "Noto Sans CJK JP";
}  // namespace

QString FontFamily() {
    static const bool substituted = [] {
        QFont::insertSubstitution(kFamily, kStandIn);
        return true;
    }();
    (void)substituted;
    return QString::fromLatin1(kFamily);
}

QFont DialogFont(double points) {
    QFont font(FontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QFont ScaledFont(const QFont& font, double scale) {
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(static_cast<int>(font.pixelSize() * scale + 0.5));
    else
        scaled.setPointSizeF(font.pointSizeF() * scale);
    return scaled;
}

int AverageCharWidth(const QFont& font) {
    const int letters = QFontMetrics(font).horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

void UseDialogFontEverywhere() {
    // Without a class name this also drops the platform theme's fonts for menus and tool tips.
    QApplication::setFont(DialogFont());
}
