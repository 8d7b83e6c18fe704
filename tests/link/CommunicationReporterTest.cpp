#include <gtest/gtest.h>

#include "EventRecorder.h"
#include "ScriptedDevice.h"
#include "link/CommunicationReporter.h"

using namespace VEK;
using namespace link_test;

TEST(CommunicationReporter, IdleEventsTickWhileNothingArrives) {
    CCommunicationReporterT<CScriptedDevice> reporter;
    CEventRecorder events;
    reporter.SetListener(&events);
    reporter.SetIdleTime(5);
    ASSERT_TRUE(reporter.Start());
    EXPECT_TRUE(events.WaitForKind(CReportEvent::kIdle, 3));
    reporter.Transport().Feed({1, 2, 3});
    EXPECT_TRUE(events.WaitForBytes(3));
    reporter.Stop();
    EXPECT_EQ(events.Kinds(),
              (std::vector<int>{CReportEvent::kConnect, CReportEvent::kDisconnect, CReportEvent::kEnd}));
}

TEST(CommunicationReporter, AListenerThatRefusesEndsTheThreadAsAForcedEnd) {
    CCommunicationReporterT<CScriptedDevice> reporter;
    CEventRecorder events;
    events.SetAnswer(false);
    reporter.SetListener(&events);
    ASSERT_TRUE(reporter.Start());
    ASSERT_TRUE(events.WaitForKind(CReportEvent::kEnd));
    EXPECT_EQ(events.Kinds(),
              (std::vector<int>{CReportEvent::kConnect, CReportEvent::kForcedEnd, CReportEvent::kEnd}));
    const uint8_t byte = 0;
    EXPECT_FALSE(reporter.Send(1, &byte));  // the thread closed the transport
    EXPECT_FALSE(reporter.IsRunning());
}

TEST(CommunicationReporter, StartFailsWhenTheTransportDoesNotOpen) {
    CCommunicationReporterT<CScriptedDevice> reporter;
    CEventRecorder events;
    reporter.SetListener(&events);
    reporter.Transport().Unplug();
    EXPECT_FALSE(reporter.Start());
    EXPECT_FALSE(reporter.IsRunning());
    EXPECT_TRUE(events.Kinds().empty());
}
