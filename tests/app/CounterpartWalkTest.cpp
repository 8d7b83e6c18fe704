// The application in TCP mode with its own counterpart window as the dongle, driven as an operator
// would: the platform's dialogs and message boxes (window-modal to the main window), clicks that
// pass the window system's modality checks, screenshots in build/screens/.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "app/MainDlg.h"
#include "app/WaitToStopDlg.h"
#include "controller/LoopbackTestHelpers.h"
#include "data/Reading.h"
#include "display/TestApplication.h"
#include "support/TestHome.h"

namespace {

using Ids = CMainDlgControls;

// Acts on the modal dialogs as they open, from inside the event loops they run.
class CModalScript : public QObject {
public:
    using TMatch = std::function<bool(QWidget*)>;
    using TAct = std::function<void(QWidget*)>;

    CModalScript() {
        connect(&m_poll, &QTimer::timeout, this, &CModalScript::Poll);
        m_poll.start(10);
    }
    void Then(TMatch matches, TAct act) { m_steps.push_back({std::move(matches), std::move(act)}); }
    bool Done() const { return m_steps.empty(); }

    static TMatch Box(const char* text) {
        return [text](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            return box != nullptr && box->text() == QString::fromUtf8(text);
        };
    }
    static void Ok(QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click(); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (m_steps.empty() || modal == nullptr || modal == m_acted || !modal->isVisible() ||
            !m_steps.front().first(modal))
            return;
        const TAct act = m_steps.front().second;
        m_steps.pop_front();
        m_acted = modal;
        act(modal);
    }

    QTimer m_poll;
    std::deque<std::pair<TMatch, TAct>> m_steps;
    QPointer<QWidget> m_acted;
};

// A press and release through the window system, which drops it when a modal window blocks the
// button's window.
void ClickThroughWindow(QWidget* button) {
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->mapTo(window, button->rect().center()));
}

void Screenshot(QWidget* window, const char* name) {
    QDir().mkpath(HOLLOWMERE_SCREENS_DIR);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(window->grab().save(QStringLiteral(HOLLOWMERE_SCREENS_DIR "/") + QLatin1String(name)));
}

class CounterpartWalkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    void SetUp() override {
        testing_support::ResetTestHome();
        const std::string setup = testing_support::TestHome() + "/Documents/Quillmark/Brisquent/Setup";
        testing_support::WriteFile(setup + "/define.ini", "[parameter]\r\nhid-vid=tcp\r\nhid-pid=" +
                                                              std::to_string(FreeLoopbackPort()) + "\r\n");
        testing_support::WriteFile(setup + "/lastone.ini",
                                   "[user]\r\nsystem-no=5\r\nsample-intvl=1sec\r\nchpt1=ON,K,\"\"\r\n"
                                   "chpt2=ON,K,\"\"\r\nchpt3=ON,K,\"\"\r\n");
        // The platform's prompt, as the application has it.
        main = std::make_unique<CMainDlg>();
        ASSERT_TRUE(main->InitDialog());
        counterpart = main->CounterpartWindow();
        ASSERT_NE(counterpart, nullptr);
        counterpart->Session().SetTrace([this](const std::string& line) {
            std::lock_guard lock(m_traceLock);
            m_trace.push_back(line);
        });
        // As main() runs it: modal, yet blocking no other window.
        main->setWindowModality(Qt::WindowModal);
        main->resize(861, 600);
        main->show();
    }
    void TearDown() override { main->OnDestroy(); }

    template <typename T = QWidget>
    T* Own(int id) const {
        return main->findChild<T*>(QString::number(id));
    }
    template <typename T = QWidget>
    T* Counterpart(int id) const {
        return counterpart->findChild<T*>(QString::number(id));
    }
    QString StatusText() const { return Own<QLabel>(Ids::kStatus)->text(); }
    int16_t NewestReading(int channel) const {
        const CMeasurementDataManager::CChannel& series = main->Controller().Store().Channel(channel);
        const size_t count = series.ReadingCount();
        return count == 0 ? kReadingLost : series.Reading(count - 1);
    }
    // Index of the first trace line beginning with this, from an index on; -1 when none.
    int TraceLine(const std::string& prefix, int from = 0) {
        std::lock_guard lock(m_traceLock);
        for (size_t i = static_cast<size_t>(from); i < m_trace.size(); ++i)
            if (m_trace[i].rfind(prefix, 0) == 0)
                return static_cast<int>(i);
        return -1;
    }

    std::unique_ptr<CMainDlg> main;
    COppositeDlg* counterpart = nullptr;
    CModalScript script;

private:
    std::mutex m_traceLock;
    std::vector<std::string> m_trace;
};

TEST_F(CounterpartWalkTest, ConnectMeasureStopAndAnswerTheStopWaitFromTheCounterpart) {
    ASSERT_TRUE(Pump([&] { return main->Controller().TcpServerRunning(); }, 5000));
    EXPECT_EQ(StatusText(), "Not Ready");

    // Shift + "View" brings up the counterpart window.
    QTest::mouseClick(Own(Ids::kViewMenu), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(counterpart->isVisible());
    EXPECT_EQ(counterpart->windowTitle(), "対向");
    EXPECT_EQ(counterpart->parentWidget(), nullptr);

    ClickThroughWindow(Counterpart(1036));
    ASSERT_TRUE(Pump([&] { return StatusText() == "Ready"; }, 5000)) << StatusText().toStdString();
    EXPECT_EQ(Counterpart<QAbstractButton>(1036)->text(), "切断");
    Screenshot(main.get(), "counterpart-walk-1-ready.png");
    Screenshot(counterpart, "counterpart-walk-1-counterpart.png");

    // A 1 s measurement: the start dialog's OK.
    script.Then([](QWidget* modal) { return modal->findChild<QAbstractButton*>("1") != nullptr; },
                [](QWidget* modal) { modal->findChild<QAbstractButton*>("1")->click(); });
    Own<QAbstractButton>(Ids::kStartStop)->click();
    ASSERT_EQ(main->Controller().RunState(), CMeasurementDataManager::kStateMeasuring);
    // The application's polling setting drives the counterpart's cycle at 95 % of the period.
    EXPECT_TRUE(Pump(
        [&] {
            return Counterpart<QLineEdit>(1043)->text() == "950" && !Counterpart(1043)->isEnabled() &&
                   Counterpart<QAbstractButton>(1042)->text() == "停止";
        },
        2000));

    QLineEdit* sensor = Counterpart<QLineEdit>(1047);
    sensor->clear();
    QTest::keyClicks(sensor, "1600");
    EXPECT_TRUE(Pump([&] { return NewestReading(1) == 500; }, 2000)) << NewestReading(1);

    // The title counts with the run: the time read-out, then the right edge's record time.
    const auto titled = [&] {
        return counterpart->windowTitle() ==
               "対向 - " + Own<QLabel>(Ids::kElapsedReadout)->text() + " / 00:00:05";
    };
    EXPECT_TRUE(Pump(titled, 15000)) << counterpart->windowTitle().toStdString();
    Screenshot(main.get(), "counterpart-walk-2-measuring.png");
    Screenshot(counterpart, "counterpart-walk-2-counterpart.png");

    script.Then(CModalScript::Box("Are you sure to stop measurement?"), CModalScript::Ok);
    Own<QAbstractButton>(Ids::kStartStop)->click();
    ASSERT_EQ(main->Controller().RunState(), CMeasurementDataManager::kStateHolding);
    EXPECT_TRUE(Pump(
        [&] {
            return Counterpart<QAbstractButton>(1042)->text() == "開始" && Counterpart(1043)->isEnabled();
        },
        2000));

    // Exit: discard, quit, then the wait for the dongle's stop, which the counterpart answers.
    int waitResult = 0;
    script.Then(CModalScript::Box("The measurement data are discarded. Is it ok?"), CModalScript::Ok);
    script.Then(CModalScript::Box("Are you sure to quit the application?"), CModalScript::Ok);
    script.Then([](QWidget* modal) { return qobject_cast<CWaitToStopDlg*>(modal) != nullptr; },
                [&](QWidget* modal) {
                    QObject::connect(qobject_cast<QDialog*>(modal), &QDialog::finished,
                                     [&](int result) { waitResult = result; });
                    Screenshot(modal, "counterpart-walk-3-wait-to-stop.png");
                    ClickThroughWindow(Counterpart(1037));
                    // A click the modality dropped leaves the dialog waiting: cancel it then.
                    QTimer::singleShot(5000, modal, [modal] { qobject_cast<QDialog*>(modal)->reject(); });
                });
    Own<QAbstractButton>(Ids::kExit)->click();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(waitResult, CWaitToStopDlg::kStopped);
    EXPECT_FALSE(main->isVisible());
    // The stop notice went out, and standby mode with system number 5 came after it.
    const int notice = TraceLine("-> 02 03 43 00 46 03");
    ASSERT_GE(notice, 0);
    EXPECT_GE(TraceLine("<- 02 04 0F 00 05", notice), 0);
}

}  // namespace
