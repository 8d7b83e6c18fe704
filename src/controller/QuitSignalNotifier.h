#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns SIGTERM and SIGINT into a Qt signal on the window thread, so a session logout or Ctrl+C
// closes the application the way a confirmed quit does.
class CQuitSignalNotifier : public QObject {
    Q_OBJECT
public:
    explicit CQuitSignalNotifier(QObject* parent = nullptr);
    ~CQuitSignalNotifier() override;

signals:
    void quitRequested();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
