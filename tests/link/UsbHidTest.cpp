#include <gtest/gtest.h>

#include "EventRecorder.h"
#include "FakeHidBackend.h"
#include "link/CommunicationReporter.h"
#include "link/HidReportLayout.h"
#include "link/UsbHid.h"
#include "link/UsbHidFinder.h"

using namespace VEK;
using namespace link_test;

namespace {

constexpr uint16_t kVendor = 0x1234;
constexpr uint16_t kProduct = 0x0006;

std::vector<uint8_t> Bytes(size_t count, uint8_t first = 1) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

class UsbHidTest : public ::testing::Test {
protected:
    // The dongle's reports carry 63 bytes after the report id byte.
    std::shared_ptr<CFakeHidDevice> AddDongle(bool numbered = false, uint8_t inputBytes = 63) {
        return m_backend.AddDevice("/dev/hidraw" + std::to_string(m_next++), kVendor, kProduct,
                                   VendorDescriptor(inputBytes, 63, numbered));
    }
    void OpenFirst(CUsbHid& hid) {
        auto devices = CUsbHidFinder(m_backend).EnumerateDevices(kVendor, kProduct);
        ASSERT_FALSE(devices.empty());
        hid.SetDevice(devices.front());
        ASSERT_TRUE(hid.Open());
    }

    CFakeHidBackend m_backend;
    int m_next = 0;
};

}  // namespace

TEST(HidReportLayout, LengthsAndNumberingFromDescriptor) {
    struct TCase {
        const char* name;
        std::vector<uint8_t> descriptor;
        THidReportLayout expected;
    };
    std::vector<uint8_t> twoReports = VendorDescriptor(8, 8, true);
    // A second report (id 2) with 40 input bytes: the longer one decides.
    twoReports.insert(twoReports.end() - 1, {0x85, 0x02, 0x95, 40, 0x09, 0x01, 0x81, 0x02});
    std::vector<uint8_t> truncated = VendorDescriptor(64, 64, false);
    truncated.resize(truncated.size() - 9);  // cut inside the output item
    std::vector<TCase> cases = {
        {"unnumbered 64/64", VendorDescriptor(64, 64, false), {65, 65, false, 0}},
        {"numbered 32/16", VendorDescriptor(32, 16, true), {33, 17, true, 1}},
        {"longest of two reports", twoReports, {41, 9, true, 1}},
        {"empty: fallback", {}, {65, 65, false, 0}},
        {"truncated: input only", truncated, {65, 65, false, 0}},
    };
    for (const auto& c : cases) {
        THidReportLayout layout = ParseHidReportDescriptor(c.descriptor.data(), c.descriptor.size());
        EXPECT_EQ(layout.inputReportLength, c.expected.inputReportLength) << c.name;
        EXPECT_EQ(layout.outputReportLength, c.expected.outputReportLength) << c.name;
        EXPECT_EQ(layout.numberedReports, c.expected.numberedReports) << c.name;
        EXPECT_EQ(layout.outputReportId, c.expected.outputReportId) << c.name;
    }
}

TEST_F(UsbHidTest, EnumerationMatchesExactIdsOnceEachInOrder) {
    AddDongle();
    m_backend.AddDevice("/dev/hidraw9", kVendor, 0x0004, {});
    m_backend.AddDevice("/dev/hidraw0", kVendor, kProduct, {});  // same node listed again
    m_backend.AddDevice("/dev/hidraw5", 0, 0, {});               // could not be queried
    AddDongle();
    CUsbHidFinder finder(m_backend);

    auto found = finder.EnumerateDevices(kVendor, kProduct);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, "/dev/hidraw0");
    EXPECT_EQ(found[1].path, "/dev/hidraw1");
    EXPECT_EQ(found[0].caps.outputReportLength, 64);
    // The platform reads 0 as "any": here it matches nothing, not even the unqueried device.
    EXPECT_TRUE(finder.EnumerateDevices(0, 0).empty());
    EXPECT_TRUE(finder.EnumerateDevices(kVendor, 0).empty());
    EXPECT_TRUE(finder.EnumerateDevices(0, kProduct).empty());
}

TEST_F(UsbHidTest, OpenNamesTheChannelAndNeedsBothDirections) {
    AddDongle();
    CUsbHid hid(m_backend);
    EXPECT_EQ(hid.QueryProperties().name, "HID");
    OpenFirst(hid);
    TCommProperty property = hid.QueryProperties();
    EXPECT_EQ(property.name, "HID-V1234-P0006");
    EXPECT_EQ(property.typeId >> 24, kCommKindUsbHid);
    EXPECT_EQ(property.sendUnit, 63);
    EXPECT_EQ(property.receiveUnit, 63);
    EXPECT_EQ(hid.LinkState(), ICommunication::kConnected);

    // The write handle opens, the read handle does not: not open at all.
    m_backend.FailOpens(1, 1);
    EXPECT_FALSE(hid.Open());
    EXPECT_FALSE(hid.IsOpen());
    EXPECT_EQ(hid.LinkState(), ICommunication::kClosed);
    EXPECT_EQ(hid.Send(5, Bytes(5).data()), -1);
}

TEST_F(UsbHidTest, SendSplitsIntoWholeReportsWithIdByteAndZeroFill) {
    auto dongle = AddDongle();
    CUsbHid hid(m_backend);
    OpenFirst(hid);
    struct TCase {
        size_t size;
        std::vector<size_t> chunks;
    };
    for (const TCase& c : std::vector<TCase>{{5, {5}}, {63, {63}}, {64, {63, 1}}, {70, {63, 7}}}) {
        size_t before = dongle->Written().size();
        std::vector<uint8_t> bytes = Bytes(c.size);
        ASSERT_EQ(hid.Send(bytes.size(), bytes.data()), static_cast<int>(c.size));
        auto written = dongle->Written();
        ASSERT_EQ(written.size() - before, c.chunks.size()) << c.size;
        size_t offset = 0;
        for (size_t i = 0; i < c.chunks.size(); ++i) {
            const auto& report = written[before + i];
            ASSERT_EQ(report.size(), 64u);
            EXPECT_EQ(report[0], 0);
            std::vector<uint8_t> payload(report.begin() + 1,
                                         report.begin() + 1 + static_cast<long>(c.chunks[i]));
            EXPECT_EQ(payload, std::vector<uint8_t>(bytes.begin() + static_cast<long>(offset),
                                                    bytes.begin() + static_cast<long>(offset + c.chunks[i])));
            EXPECT_TRUE(std::all_of(report.begin() + 1 + static_cast<long>(c.chunks[i]), report.end(),
                                    [](uint8_t b) { return b == 0; }))
                << c.size;
            offset += c.chunks[i];
        }
    }
}

TEST_F(UsbHidTest, NumberedDeviceGetsItsOutputReportIdInFront) {
    auto dongle = AddDongle(true);
    CUsbHid hid(m_backend);
    OpenFirst(hid);
    auto bytes = Bytes(5);
    ASSERT_EQ(hid.Send(bytes.size(), bytes.data()), 5);
    ASSERT_EQ(dongle->Written().size(), 1u);
    EXPECT_EQ(dongle->Written()[0][0], 0x01);
    EXPECT_EQ(dongle->Written()[0][1], 1);
}

TEST_F(UsbHidTest, FailedWritesAreRetriedUpToTenAttempts) {
    auto dongle = AddDongle();
    CUsbHid hid(m_backend);
    OpenFirst(hid);
    auto bytes = Bytes(5);

    dongle->FailNextWrites(CUsbHid::kWriteAttempts - 1);
    EXPECT_EQ(hid.Send(bytes.size(), bytes.data()), 5);
    EXPECT_EQ(dongle->WriteAttempts(), CUsbHid::kWriteAttempts);

    dongle->FailNextWrites(CUsbHid::kWriteAttempts);
    EXPECT_EQ(hid.Send(bytes.size(), bytes.data()), -1);
    EXPECT_EQ(dongle->WriteAttempts(), 2 * CUsbHid::kWriteAttempts);
    EXPECT_TRUE(hid.IsLinked());  // a failing write is not an unplugged device

    dongle->Unplug();
    EXPECT_EQ(hid.Send(bytes.size(), bytes.data()), -1);
    EXPECT_EQ(dongle->WriteAttempts(), 2 * CUsbHid::kWriteAttempts + 1);
    EXPECT_EQ(hid.LinkState(), ICommunication::kClosed);
}

TEST_F(UsbHidTest, ReceiveDeliversWholePayloadOfNumberedAndUnnumberedReports) {
    auto plain = AddDongle(false, 64);
    auto numbered = AddDongle(true, 32);
    auto devices = CUsbHidFinder(m_backend).EnumerateDevices(kVendor, kProduct);
    ASSERT_EQ(devices.size(), 2u);
    std::vector<uint8_t> payload = Bytes(64, 0x40);
    payload[0] = 0x02;  // starts like a frame: nothing may be cut off in front
    std::vector<uint8_t> numberedReport{0x01};
    numberedReport.insert(numberedReport.end(), payload.begin(), payload.begin() + 32);
    plain->PushInputReport(payload);
    numbered->PushInputReport(numberedReport);

    struct TCase {
        size_t device;
        std::vector<uint8_t> expected;
    };
    for (const TCase& c : std::vector<TCase>{{0, payload}, {1, {payload.begin(), payload.begin() + 32}}}) {
        CUsbHid hid(m_backend);
        hid.SetDevice(devices[c.device]);
        ASSERT_TRUE(hid.Open());
        std::vector<uint8_t> buffer(100);
        int n = hid.Receive(buffer.size(), buffer.data());
        ASSERT_EQ(n, static_cast<int>(c.expected.size()));
        buffer.resize(static_cast<size_t>(n));
        EXPECT_EQ(buffer, c.expected);
    }
}

TEST_F(UsbHidTest, ReceiveTimesOutWithZeroDropsPendingAndNoticesUnplugging) {
    auto dongle = AddDongle();
    CUsbHid hid(m_backend);
    OpenFirst(hid);
    EXPECT_TRUE(hid.SetReceiveWait(10));
    std::vector<uint8_t> buffer(63);
    EXPECT_EQ(hid.Receive(buffer.size(), buffer.data()), 0);
    dongle->PushInputReport(Bytes(63));
    EXPECT_EQ(hid.Receive(buffer.size(), buffer.data()), 63);
    EXPECT_EQ(buffer, Bytes(63));

    for (int i = 0; i < 3; ++i) dongle->PushInputReport(Bytes(63));
    hid.DropPending();
    EXPECT_EQ(hid.Receive(buffer.size(), buffer.data()), 0);

    dongle->Unplug();
    EXPECT_EQ(hid.Receive(buffer.size(), buffer.data()), -1);
    EXPECT_FALSE(hid.IsLinked());  // at once, before anybody closes it
}

TEST_F(UsbHidTest, UnpluggingEndsTheReporterWithDisconnectForcedEndEnd) {
    auto dongle = AddDongle();
    CCommunicationReporterT<CUsbHid> reporter(m_backend);
    reporter.Transport().SetDevice(CUsbHidFinder(m_backend).EnumerateDevices(kVendor, kProduct).front());
    reporter.Transport().SetReceiveWait(10);
    CEventRecorder recorder;
    reporter.SetListener(&recorder);
    ASSERT_TRUE(reporter.Start());
    ASSERT_TRUE(recorder.WaitForKind(CReportEvent::kConnect));
    dongle->PushInputReport(Bytes(63));
    ASSERT_TRUE(recorder.WaitForBytes(63));
    EXPECT_EQ(recorder.Bytes(), Bytes(63));

    dongle->Unplug();
    ASSERT_TRUE(recorder.WaitForKind(CReportEvent::kEnd));
    EXPECT_EQ(recorder.Kinds(), (std::vector<int>{CReportEvent::kConnect, CReportEvent::kDisconnect,
                                                  CReportEvent::kForcedEnd, CReportEvent::kEnd}));
    reporter.Stop();
    EXPECT_FALSE(reporter.IsRunning());
}

TEST_F(UsbHidTest, StopEndsTheReporterWithDisconnectAndEndOnly) {
    auto dongle = AddDongle();
    CCommunicationReporterT<CUsbHid> reporter(m_backend);
    reporter.Transport().SetDevice(CUsbHidFinder(m_backend).EnumerateDevices(kVendor, kProduct).front());
    CEventRecorder recorder;
    reporter.SetListener(&recorder);
    ASSERT_TRUE(reporter.Start());
    ASSERT_TRUE(recorder.WaitForKind(CReportEvent::kConnect));
    EXPECT_TRUE(reporter.IsRunning());
    // A sender on another thread while the reporter stops: handles are never used after closing.
    std::thread sender([&] {
        auto bytes = Bytes(70);
        for (int i = 0; i < 50; ++i) reporter.Send(bytes.size(), bytes.data());
    });
    reporter.Stop();
    sender.join();
    EXPECT_FALSE(reporter.IsRunning());
    EXPECT_EQ(recorder.Kinds(),
              (std::vector<int>{CReportEvent::kConnect, CReportEvent::kDisconnect, CReportEvent::kEnd}));
}

TEST(HidapiBackend, MissingDevicesAreSimplyNotFound) {
    IHidBackend& backend = HidapiBackend();
    EXPECT_TRUE(CUsbHidFinder(backend).EnumerateDevices(0, 0).empty());
    EXPECT_FALSE(backend.ReportDescriptor("/dev/hidraw-none").has_value());
    EXPECT_EQ(backend.Open("/dev/hidraw-none"), nullptr);
    CUsbHid hid;
    EXPECT_FALSE(hid.SelectDevice("/dev/hidraw-none"));
    EXPECT_FALSE(hid.Open());
    EXPECT_EQ(hid.LinkState(), ICommunication::kClosed);
}
