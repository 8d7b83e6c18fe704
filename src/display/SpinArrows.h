#pragma once
#include <QTimer>
#include <QWidget>

// The up-down arrows inside a number field's right end. A press steps once at once; held, the
// press repeats until the button is released. The field decides how far each repeat goes.
class CSpinArrows : public QWidget {
    Q_OBJECT
public:
    // The platform's usual repeat: a pause, then a steady rate.
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 100;

    explicit CSpinArrows(QWidget* parent = nullptr);

signals:
    // direction +1 upward, -1 downward.
    void pressed(int direction);
    void repeated(int direction);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Release();

    QTimer m_repeat;
    int m_direction = 0;  // 0: not held
};
