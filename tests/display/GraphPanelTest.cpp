// The graph with its controls in a window, offscreen: the controls drive the graph, the read-outs
// and bars follow it; a screenshot goes to build/screens/graph_panel.png.
#include <gtest/gtest.h>

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <cmath>

#include "data/MeasurementDataManager.h"
#include "display/GraphPanel.h"
#include "display/TestApplication.h"

namespace {

class GraphPanelTest : public ::testing::Test {
protected:
    GraphPanelTest() {
        // Three channels at 1 s: slow waves of their own, a gap in channel 2.
        TMeasurementSetup setup;
        setup.pollingSetting.SetRateCode(4);
        for (int k = 1; k <= 3; ++k) setup.pollingSetting.SetInUse(k, true);
        store.Start(setup);
        for (int k = 1; k <= 3; ++k) {
            std::vector<int16_t> tenths(3000);
            for (size_t i = 0; i < tenths.size(); ++i)
                tenths[i] = static_cast<int16_t>(200 + 150 * k + 80 * std::sin(i / 40.0 + k));
            if (k == 2)
                std::fill(tenths.begin() + 60, tenths.begin() + 75, kReadingLost);
            store.Channel(k).FillReadings(0, tenths.data(), tenths.size());
        }
        store.SetRecordCount(3000);
        store.Stop();

        auto* layout = new QGridLayout(&window);
        layout->addWidget(panel.Area(), 0, 1, 8, 1);
        layout->addWidget(temperatureBar, 0, 2, 8, 1);
        layout->addWidget(timeBar, 8, 1);
        int row = 0;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 timeDivUp, timeDivDown, tempDivUp, tempDivDown, autoScale, cursor, cursorLeft, cursorRight})
            layout->addWidget(control, row++, 0);
        auto* readouts = new QHBoxLayout;
        for (QLabel* label : labels) readouts->addWidget(label);
        layout->addLayout(readouts, 9, 0, 1, 3);
        layout->setColumnStretch(1, 1);
        TGraphControls controls;
        controls.timeDivUp = timeDivUp;
        controls.timeDivDown = timeDivDown;
        controls.tempDivUp = tempDivUp;
        controls.tempDivDown = tempDivDown;
        controls.autoScale = autoScale;
        controls.cursor = cursor;
        controls.cursorLeft = cursorLeft;
        controls.cursorRight = cursorRight;
        controls.timeBar = timeBar;
        controls.temperatureBar = temperatureBar;
        controls.timeDiv = labels[0];
        controls.tempDiv = labels[1];
        controls.cursorTime = labels[2];
        controls.top = labels[3];
        controls.centre = labels[4];
        controls.bottom = labels[5];
        controls.elapsed = labels[6];
        panel.Bind(controls);
        panel.Graph().LoadGraphScales({"1min", "200", 600});
        panel.Graph().DataReplaced();
        window.resize(900, 560);
        window.show();
    }

    // The resize and full redraw timers have run once the picture fills the area.
    bool WaitForPicture() {
        return QTest::qWaitFor([this] { return panel.Graph().Picture().size() == panel.Area()->size(); },
                               5000);
    }

    const bool application = (EnsureTestApplication(), true);  // before any widget
    CMeasurementDataManager store;
    CGraphChannelVisibility visibility;
    QWidget window;
    CGraphPanel panel{store, visibility, &window};
    QPushButton* timeDivUp = new QPushButton("1001", &window);
    QPushButton* timeDivDown = new QPushButton("1002", &window);
    QPushButton* tempDivUp = new QPushButton("1005", &window);
    QPushButton* tempDivDown = new QPushButton("1006", &window);
    QPushButton* autoScale = new QPushButton("AUTO", &window);
    QPushButton* cursor = new QPushButton("CURSOR", &window);
    QPushButton* cursorLeft = new QPushButton("<", &window);
    QPushButton* cursorRight = new QPushButton(">", &window);
    VEK::MFC::CScrollBarEx* timeBar = new VEK::MFC::CScrollBarEx(Qt::Horizontal, &window);
    VEK::MFC::CScrollBarEx* temperatureBar = new VEK::MFC::CScrollBarEx(Qt::Vertical, &window);
    QLabel* labels[7] = {new QLabel(&window), new QLabel(&window), new QLabel(&window), new QLabel(&window),
                         new QLabel(&window), new QLabel(&window), new QLabel(&window)};
};

TEST_F(GraphPanelTest, ControlsDriveTheGraphAndFollowIt) {
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(labels[0]->text(), "1min/DIV");
    EXPECT_EQ(labels[1]->text(), "200deg C/DIV");
    EXPECT_EQ(labels[3]->text(), "+1600");
    EXPECT_EQ(labels[6]->text(), "00:10:00");  // the right edge: record 600
    EXPECT_EQ(timeBar->maximum(), 40);         // 50 divisions of 60 records, less the page
    EXPECT_EQ(temperatureBar->maximum(), 0);
    EXPECT_FALSE(cursorLeft->isEnabled());

    QTest::mouseClick(autoScale, Qt::LeftButton);
    EXPECT_EQ(labels[1]->text(), "10deg C/DIV");  // channels 1 to 3: 27.0 .. 73.0 degrees
    EXPECT_EQ(labels[4]->text(), "+50");
    EXPECT_EQ(temperatureBar->maximum(), 190);
    EXPECT_EQ(temperatureBar->value(), 150);
    QTest::mouseClick(cursor, Qt::LeftButton);
    EXPECT_TRUE(panel.Graph().CursorOn());
    EXPECT_EQ(labels[2]->text(), "00h05m00.0sec");
    QTest::mousePress(cursorRight, Qt::LeftButton);
    QTest::mouseRelease(cursorRight, Qt::LeftButton);
    EXPECT_EQ(panel.Graph().CursorRecord(), 301u);
    timeBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(panel.Graph().TimeAxis().start, 60u);
    EXPECT_EQ(labels[2]->text(), "00h06m01.0sec");
    QTest::mouseClick(panel.Area(), Qt::LeftButton, {}, QPoint(panel.Area()->width() / 4, 50));
    EXPECT_NEAR(panel.Graph().CursorRecord(), 210, 1);

    // The picture as the operator sees it, the cursor line on record 210.
    QTest::qWait(300);
    const QString folder = QStringLiteral(HOLLOWMERE_BIN_DIR "/../screens");
    QDir().mkpath(folder);
    EXPECT_TRUE(window.grab().save(folder + "/graph_panel.png"));
}

// The bar notifies also where it cannot move: a step past the newest records during a run holds
// the view as any scroll does.
TEST_F(GraphPanelTest, AScrollThatCannotMoveStillHoldsTheRunningView) {
    TMeasurementSetup setup;
    setup.pollingSetting.SetRateCode(4);
    setup.pollingSetting.SetInUse(1, true);
    store.Start(setup);
    std::vector<int16_t> tenths(1200, 250);
    store.Channel(1).FillReadings(0, tenths.data(), tenths.size());
    store.SetRecordCount(1200);
    panel.Graph().DataReplaced();
    ASSERT_FALSE(panel.Graph().Held());
    const int newest = timeBar->value();
    ASSERT_EQ(newest, timeBar->maximum());
    timeBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(timeBar->value(), newest);
    EXPECT_TRUE(panel.Graph().Held());
}

}  // namespace
