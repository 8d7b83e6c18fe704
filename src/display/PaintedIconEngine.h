#pragma once
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <functional>

// An icon drawn by the program with painter paths on a square grid of `grid` units, rendered at
// the size and pixel density asked for, so that it stays sharp at any scale. Header-only: it needs
// QtGui alone, so the application's icon tool can use it too.
class CPaintedIconEngine : public QIconEngine {
public:
    using TPaint = std::function<void(QPainter&)>;

    CPaintedIconEngine(qreal grid, TPaint paint) : m_grid(grid), m_paint(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        if (mode == QIcon::Disabled) {
            const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
            QPixmap pixmap = Render(rect.size() * ratio, mode);
            pixmap.setDevicePixelRatio(ratio);
            painter->drawPixmap(rect.topLeft(), pixmap);
            return;
        }
        Draw(*painter, rect);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override { return Render(size, mode); }
    // size is already in device pixels here; QIcon sets the pixel ratio on the result.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal) override {
        return Render(size, mode);
    }
    QIconEngine* clone() const override { return new CPaintedIconEngine(*this); }
    QString key() const override { return QStringLiteral("hollowmere-painted"); }
    bool isNull() override { return !m_paint; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(256, 256)};
    }

private:
    void Draw(QPainter& painter, const QRectF& rect) const {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(rect.topLeft());
        painter.scale(rect.width() / m_grid, rect.height() / m_grid);
        m_paint(painter);
        painter.restore();
    }
    QPixmap Render(const QSize& size, QIcon::Mode mode) const {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            Draw(painter, QRectF(0, 0, size.width(), size.height()));
        }
        if (mode == QIcon::Disabled)
            Grey(image);
        return QPixmap::fromImage(image);
    }
    // Grey and faint, as disabled icons are.
    static void Grey(QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(line[x]) / 2;
                const int grey = qGray(line[x]) / 2;
                line[x] = qRgba(grey, grey, grey, alpha);
            }
        }
    }

    qreal m_grid;
    TPaint m_paint;
};
