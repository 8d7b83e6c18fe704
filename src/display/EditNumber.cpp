#include "display/EditNumber.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

#include "display/SpinArrows.h"

namespace {

int64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool IsDigit(QChar character) {
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

// Keys that edit or move without being a character of the number.
bool PassesFilter(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return true;
        default:
            break;
    }
    return event.text().isEmpty() || event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Cut) ||
           event.matches(QKeySequence::Paste);
}

}  // namespace

CEditNumber::CEditNumber(int64_t kindMinimum, int64_t kindMaximum, bool acceptsMinus, QWidget* parent)
    : QLineEdit(parent),
      m_kindMinimum(kindMinimum),
      m_kindMaximum(kindMaximum),
      m_acceptsMinus(acceptsMinus),
      m_minimum(kindMinimum),
      m_maximum(kindMaximum),
      m_clock(SteadyMilliseconds),
      m_arrows(new CSpinArrows(this)) {
    // Digits only: no input composition.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QLineEdit::textEdited, this, &CEditNumber::OnTextEdited);
    connect(m_arrows, &CSpinArrows::pressed, this, &CEditNumber::BeginHold);
    connect(m_arrows, &CSpinArrows::repeated, this, &CEditNumber::RepeatHold);
    connect(m_arrows, &CSpinArrows::released, this, &CEditNumber::EndHold);
    PlaceArrows();
}

void CEditNumber::SetRange(int64_t minimum, int64_t maximum) {
    if (minimum > maximum)
        std::swap(minimum, maximum);
    m_minimum = std::clamp(minimum, m_kindMinimum, m_kindMaximum);
    m_maximum = std::clamp(maximum, m_kindMinimum, m_kindMaximum);
}

void CEditNumber::SetStep(int64_t step) {
    m_step = std::clamp<int64_t>(step, 1, m_kindMaximum - m_kindMinimum);
}

void CEditNumber::SetDisplayWidth(int digits) {
    m_width = std::clamp(digits, 0, 20);
}

std::optional<int64_t> CEditNumber::Number() const {
    const QString content = text();
    if (content.isEmpty())
        return std::nullopt;
    return Normalised(ReadNumber(content.toStdString()));
}

void CEditNumber::SetNumber(int64_t value) {
    setText(Format(Normalised(value)));
}

int64_t CEditNumber::Normalised(int64_t value) const {
    value = std::clamp(value, m_minimum, m_maximum);
    const int64_t base = m_minimum > 0 ? m_minimum : 0;
    return value - (value - base) % m_step;
}

QString CEditNumber::Format(int64_t value) const {
    char text[32];
    const int width = value < 0 ? m_width + 1 : m_width;
    std::snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(value));
    return QString::fromLatin1(text);
}

int64_t CEditNumber::ReadNumber(std::string_view text) {
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative)
        ++i;
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (kLimit - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : kLimit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

int CEditNumber::Acceleration(int64_t heldMs) {
    if (heldMs < 2000)
        return 1;
    if (heldMs < 4000)
        return 5;
    return heldMs < 6000 ? 10 : 50;
}

void CEditNumber::StepBy(int direction, int k) {
    if (isReadOnly() || !isEnabled() || k <= 0)
        return;
    const bool empty = text().isEmpty();
    const int64_t v = empty ? Normalised(0) : Normalised(ReadNumber(text().toStdString()));
    // Up to the next multiple of the increment (of the step when there is one), and as far down.
    const int64_t d = m_step == 1 ? k : m_step;
    const int64_t move = m_step * k;
    const int64_t stepped = direction > 0 ? v + move - v % d : v - move - v % d;
    const int64_t next = std::clamp(stepped, m_minimum, m_maximum);
    if (next == v && !empty)
        return;
    setFocus();
    setText(Format(next));
    setCursorPosition(0);
}

bool CEditNumber::MinusAllowedHere() const {
    if (!m_acceptsMinus)
        return false;
    if (!text().contains(QLatin1Char('-')))
        return (hasSelectedText() ? selectionStart() : cursorPosition()) == 0;
    return hasSelectedText() && selectionStart() == 0;
}

bool CEditNumber::AcceptsCharacter(QChar character) const {
    return IsDigit(character) || (character == QLatin1Char('-') && MinusAllowedHere());
}

void CEditNumber::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        if (event->isAutoRepeat() && m_holdDirection != 0)
            RepeatHold();
        else
            BeginHold(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    if (PassesFilter(*event) || (event->text().size() == 1 && AcceptsCharacter(event->text()[0]))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    Beep(EBeep::kRefused);
}

void CEditNumber::keyReleaseEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !event->isAutoRepeat()) {
        EndHold();
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void CEditNumber::OnTextEdited(const QString& edited) {
    // A paste or a drop: every character is tested as if typed.
    QString kept;
    for (QChar character : edited) {
        if (IsDigit(character) || (character == QLatin1Char('-') && m_acceptsMinus && kept.isEmpty()))
            kept += character;
    }
    if (kept.size() != edited.size()) {
        const int caret = cursorPosition() - static_cast<int>(edited.size() - kept.size());
        setText(kept);
        setCursorPosition(std::max(caret, 0));
        Beep(EBeep::kRefused);
    }
    if (kept.isEmpty() || ReadNumber(kept.toStdString()) <= m_maximum)
        return;
    const int caret = cursorPosition();
    setText(Format(Normalised(m_maximum)));
    setCursorPosition(std::min(caret, static_cast<int>(text().size())));
    Beep(EBeep::kInformation);
}

void CEditNumber::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    EndHold();
    const QString content = text();
    if (content.isEmpty())
        return;
    const int64_t read = ReadNumber(content.toStdString());
    const int64_t value = Normalised(read);
    const QString corrected = Format(value);
    if (corrected != content)
        setText(corrected);
    if (value != read)
        Beep(EBeep::kInformation);
}

void CEditNumber::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        StepBy(notches > 0 ? 1 : -1, notches > 0 ? notches : -notches);
    event->accept();
}

void CEditNumber::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceArrows();
}

void CEditNumber::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange)
        m_arrows->setEnabled(!isReadOnly());
    else if (event->type() == QEvent::StyleChange)
        PlaceArrows();
}

void CEditNumber::BeginHold(int direction) {
    m_holdDirection = direction;
    m_holdStartMs = m_clock();
    StepBy(direction, 1);
}

void CEditNumber::RepeatHold() {
    if (m_holdDirection != 0)
        StepBy(m_holdDirection, Acceleration(m_clock() - m_holdStartMs));
}

void CEditNumber::Beep(EBeep kind) {
    QApplication::beep();
    emit beeped(kind);
}

void CEditNumber::PlaceArrows() {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int arrowWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setTextMargins(3, 0, arrowWidth + 3, 0);
    m_arrows->setGeometry(width() - frame - arrowWidth, frame, arrowWidth, std::max(0, height() - 2 * frame));
}
