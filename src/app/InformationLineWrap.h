#pragma once
#include <QLabel>
#include <QString>
#include <functional>

// The information static 1021 shows its text on one line when it fits, else broken into lines
// after the " / " separators; again on every resize.
class CInformationLineWrap : public QObject {
    Q_OBJECT
public:
    // label: the window's information static, borrowed.
    explicit CInformationLineWrap(QLabel* label);

    void SetText(const QString& text);
    // Breaks after the separator before the part that would pass width (measured by measure); a
    // part wider than width alone stays whole.
    static QString Wrap(const QString& text, int width, const std::function<int(const QString&)>& measure);

signals:
    // The text now takes another number of lines: the static needs another height.
    void linesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();

    QLabel* m_label;
    QString m_text;
    qsizetype m_lines = 1;
};
