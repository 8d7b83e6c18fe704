#include "display/DialogFont.h"

#include <QStringList>

namespace {
const char kFamily[] = "MS UI Gothic";
constexpr int kPointSize = 9;
}  // namespace

QFont DialogFont() {
    static const bool substituted = [] {
        QFont::insertSubstitutions(kFamily, {"Noto Sans CJK JP", "IPAPGothic", "VL PGothic", "TakaoPGothic"});
        return true;
    }();
    (void)substituted;
    return QFont(kFamily, kPointSize);
}

QFont ScaledFont(const QFont& font, double scale) {
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(static_cast<int>(font.pixelSize() * scale + 0.5));
    else
        scaled.setPointSizeF(font.pointSizeF() * scale);
    return scaled;
}
