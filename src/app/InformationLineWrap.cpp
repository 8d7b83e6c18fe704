#include "app/InformationLineWrap.h"

#include <QEvent>

namespace {

const QString kSeparator = QStringLiteral(" / ");

}  // namespace

CInformationLineWrap::CInformationLineWrap(QLabel* label) : QObject(label), m_label(label) {
    m_label->installEventFilter(this);
}

void CInformationLineWrap::SetText(const QString& text) {
    m_text = text;
    Show();
}

QString CInformationLineWrap::Wrap(const QString& text, int width,
                                   const std::function<int(const QString&)>& measure) {
    QString wrapped = text;
    qsizetype lineStart = 0;
    qsizetype lastBreak = -1;  // the blank after the last separator's slash on this line
    qsizetype from = 0;
    for (;;) {
        const qsizetype separator = text.indexOf(kSeparator, from);
        // The line would end with this part and its slash.
        const qsizetype end = separator < 0 ? text.size() : separator + 2;
        if (lastBreak >= lineStart && measure(text.mid(lineStart, end - lineStart)) > width) {
            wrapped[lastBreak] = QLatin1Char('\n');
            lineStart = lastBreak + 1;
        }
        if (separator < 0)
            return wrapped;
        lastBreak = separator + 2;
        from = separator + kSeparator.size();
    }
}

bool CInformationLineWrap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_label && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        Show();
    return QObject::eventFilter(watched, event);
}

void CInformationLineWrap::Show() {
    const QFontMetrics metrics = m_label->fontMetrics();
    const int width = m_label->contentsRect().width() - 2 * m_label->margin();
    const QString wrapped =
        Wrap(m_text, width, [&metrics](const QString& line) { return metrics.horizontalAdvance(line); });
    m_label->setText(wrapped);
    const qsizetype lines = wrapped.count(QLatin1Char('\n')) + 1;
    if (lines != m_lines) {
        m_lines = lines;
        emit linesChanged();
    }
}
