#pragma once
#include <QLabel>
#include <string>

#include "app/StatusLook.h"
#include "controller/TimerHost.h"

// The status static 1017: the controller's status text in the colours of its look, blinking on
// timer 1 when the look says so.
class CStatusLine : public QObject {
    Q_OBJECT
public:
    enum ETimer { kTimerBlink = 1 };
    static constexpr int kBlinkMs = 500;

    // label: the window's status static.
    explicit CStatusLine(QLabel* label, QObject* parent = nullptr);

    // Every refresh stops the blink first.
    void Refresh(const std::string& text, const TStatusLook& look);
    TStatusColors Colors() const { return m_colors; }
    bool Blinking() const { return m_blinking; }

private:
    void Paint(const TStatusColors& colors);
    void OnBlink();

    QLabel* m_label;
    CTimerHost m_timers;
    TStatusColors m_colors;
    bool m_blinking = false;
    bool m_firstPhase = false;
};
