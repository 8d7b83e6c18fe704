#include "app/StatusLine.h"

#include <QPalette>

namespace {

QColor Rgb(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

CStatusLine::CStatusLine(QLabel* label, QObject* parent)
    : QObject(parent), m_label(label), m_timers([this](int) { OnBlink(); }, this) {
    m_label->setAutoFillBackground(true);
    m_label->setAlignment(Qt::AlignCenter);
}

void CStatusLine::Refresh(const std::string& text, const TStatusLook& look) {
    m_timers.Stop(kTimerBlink);
    m_label->setText(QString::fromStdString(text));
    Paint(look.colors);
    m_blinking = look.blinks;
    m_firstPhase = false;
    if (m_blinking)
        m_timers.Start(kTimerBlink, kBlinkMs);
}

void CStatusLine::OnBlink() {
    m_firstPhase = !m_firstPhase;
    Paint(m_firstPhase ? TStatusLook::kBlinkFirst : TStatusLook::kBlinkSecond);
}

void CStatusLine::Paint(const TStatusColors& colors) {
    m_colors = colors;
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::Window, Rgb(colors.background));
    palette.setColor(QPalette::WindowText, Rgb(colors.text));
    m_label->setPalette(palette);
}
