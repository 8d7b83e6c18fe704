// Writes the application's icon into a hicolor icon theme folder: PNG files at the sizes the
// desktop uses and the scalable SVG, all from the one drawing the window uses.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "app/icon/AppIcon.h"

namespace {

bool WritePng(const QString& theme, int size) {
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawAppIcon(painter, size);
    painter.end();
    return QDir().mkpath(folder) && image.save(folder + QStringLiteral("/hollowmere.png"));
}

bool WriteSvg(const QString& theme) {
    const QString folder = theme + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(folder))
        return false;
    QSvgGenerator svg;
    svg.setFileName(folder + QStringLiteral("/hollowmere.svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Hollowmere"));
    QPainter painter(&svg);
    DrawAppIcon(painter, 256);
    return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: hollowmere-icon-files THEME_FOLDER\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    const QString theme = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 128, 256}) {
        if (!WritePng(theme, size)) {
            std::fprintf(stderr, "hollowmere-icon-files: cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    if (!WriteSvg(theme)) {
        std::fprintf(stderr, "hollowmere-icon-files: cannot write the scalable icon\n");
        return 1;
    }
    return 0;
}
