#pragma once
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class CSpinArrows;

// A single-line edit for an integer with a range, a step, an optional display width, a character
// filter and up-down arrows that accelerate while held. The two kinds, CEditDword and CEditInt,
// differ in their value type and whether a minus sign is accepted; all arithmetic is signed 64-bit
// so that nothing wraps before the clamp.
class CEditNumber : public QLineEdit {
    Q_OBJECT
public:
    enum class EBeep {
        kRefused,      // a character was refused
        kInformation,  // the value was corrected
    };
    // Milliseconds of a steady clock; the arrows' acceleration counts on it.
    using TClock = std::function<int64_t()>;

    // Bounds given in the wrong order are swapped; both are limited to the kind's own range.
    void SetRange(int64_t minimum, int64_t maximum);
    // 0 means 1.
    void SetStep(int64_t step);
    // Digits shown at least, zero-padded; 0 for none.
    void SetDisplayWidth(int digits);
    void SetClock(TClock clock) { m_clock = std::move(clock); }

    int64_t Minimum() const { return m_minimum; }
    int64_t Maximum() const { return m_maximum; }
    int64_t Step() const { return m_step; }

    // Nothing for an empty field; otherwise the text's number, clamped and lowered to the step.
    std::optional<int64_t> Number() const;
    void SetNumber(int64_t value);

    // The value moves by k steps (direction +1 or -1) as one press of an arrow does.
    void StepBy(int direction, int k);

    // The increment of a held arrow after heldMs: 1, then 5, 10 and 50 from 2, 4 and 6 seconds.
    static int Acceleration(int64_t heldMs);
    // Leading decimal number (an optional minus, then digits up to the first other character),
    // saturating at the 64-bit limits; 0 when there are no digits.
    static int64_t ReadNumber(std::string_view text);

signals:
    void beeped(CEditNumber::EBeep kind);

protected:
    CEditNumber(int64_t kindMinimum, int64_t kindMaximum, bool acceptsMinus, QWidget* parent);

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Clamped to the range, then lowered to a multiple of the step (counted from the minimum when
    // that is above 0).
    int64_t Normalised(int64_t value) const;
    QString Format(int64_t value) const;
    bool AcceptsCharacter(QChar character) const;
    bool MinusAllowedHere() const;
    void OnTextEdited(const QString& text);
    void BeginHold(int direction);
    void RepeatHold();
    void EndHold() { m_holdDirection = 0; }
    void Beep(EBeep kind);
    void PlaceArrows();

    const int64_t m_kindMinimum;
    const int64_t m_kindMaximum;
    const bool m_acceptsMinus;
    int64_t m_minimum;
    int64_t m_maximum;
    int64_t m_step = 1;
    int m_width = 0;
    TClock m_clock;
    CSpinArrows* m_arrows;
    int m_holdDirection = 0;  // 0: no arrow held
    int64_t m_holdStartMs = 0;
};
