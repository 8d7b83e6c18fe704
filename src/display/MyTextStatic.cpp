#include "display/MyTextStatic.h"

#include <QAccessibleWidget>
#include <QEvent>

#include "display/DrawColor.h"

namespace {

// A read-out as static text named by its label and what it shows now.
class CReadoutAccessible : public QAccessibleWidget {
public:
    explicit CReadoutAccessible(CMyTextStatic* readout)
        : QAccessibleWidget(readout, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const auto* readout = static_cast<const CMyTextStatic*>(widget());
        if (kind == QAccessible::Name && readout->accessibleName().isEmpty())
            return readout->AccessibleName();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* ReadoutFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CMyTextStatic") && object->isWidgetType())
        return new CReadoutAccessible(static_cast<CMyTextStatic*>(object));
    return nullptr;
}

}  // namespace

CMyTextStatic::CMyTextStatic(const QString& text, QWidget* parent) : CDrawingStatic(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(ReadoutFactory);
        return true;
    }();
    (void)factoryInstalled;
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

QString CMyTextStatic::AccessibleName() const {
    // A read-out that wraps its lines is read as one.
    const QString shown = text().simplified();
    if (m_accessibleLabel.isEmpty())
        return shown;
    return shown.isEmpty() ? m_accessibleLabel : m_accessibleLabel + QStringLiteral(": ") + shown;
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
