#include "display/MyTextStatic.h"

#include <QEvent>

#include "display/DrawColor.h"

CMyTextStatic::CMyTextStatic(const QString& text, QWidget* parent) : CDrawingStatic(parent) {
    setText(text);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, VEK::ToQColor(kDefaultTextColor));
    colours.setColor(QPalette::Window, VEK::ToQColor(kDefaultBackgroundColor));
    setPalette(colours);  // rebuilds through the palette change
    Rebuild();
}

VEK::CTextBkDrawer CMyTextStatic::MakeDrawer(const QString& text) const {
    return VEK::CTextBkDrawer(width(), height(), font(), TextColor(), text, m_format, 0, BackgroundColor());
}

void CMyTextStatic::Rebuild() {
    m_drawnText = text();
    SetDrawer(MakeDrawer(m_drawnText));
}

void CMyTextStatic::SetFormat(uint32_t format) {
    m_format = format;
    Rebuild();
    updateGeometry();
}

void CMyTextStatic::SetTextColor(uint32_t rgb) {
    m_textMarker = rgb > 0xFFFFFF ? rgb : 0;
    if (m_textMarker == 0) {
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, VEK::ToQColor(rgb));
        setPalette(colours);
    }
    Rebuild();
}

uint32_t CMyTextStatic::TextColor() const {
    if (m_textMarker != 0)
        return m_textMarker;
    return palette().color(QPalette::WindowText).rgb() & 0xFFFFFFu;
}

void CMyTextStatic::SetBackgroundColor(uint32_t rgb) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, VEK::ToQColor(rgb));
    setPalette(colours);
}

uint32_t CMyTextStatic::BackgroundColor() const {
    return palette().color(QPalette::Window).rgb() & 0xFFFFFFu;
}

void CMyTextStatic::SetWidestTexts(const QStringList& texts) {
    m_widestTexts = texts;
    updateGeometry();
}

QSize CMyTextStatic::sizeHint() const {
    QSize size;
    QStringList texts = m_widestTexts;
    texts << text();
    for (const QString& text : texts) {
        VEK::CTextBkDrawer drawer = MakeDrawer(text);
        drawer.FitToText();
        size = size.expandedTo(drawer.Size());
    }
    return size;
}

void CMyTextStatic::changeEvent(QEvent* event) {
    CDrawingStatic::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        Rebuild();
        if (event->type() == QEvent::FontChange)
            updateGeometry();
    }
}

void CMyTextStatic::paintEvent(QPaintEvent* event) {
    // The label repaints itself on a new text; the drawer follows it here.
    if (text() != m_drawnText)
        Rebuild();
    CDrawingStatic::paintEvent(event);
}
