#include "protocol/SerialHandshake.h"

#include <gtest/gtest.h>

#include <vector>

using QNL::CSerialHandshake;

namespace {

// Modem lines whose CTS comes after a number of reads (never for -1), logging every RTS change.
class CFakeLines : public CSerialHandshake::ILines {
public:
    explicit CFakeLines(int readsUntilCts) : m_readsUntilCts(readsUntilCts) {}
    bool SetRts(bool raised) override {
        rts.push_back(raised);
        return true;
    }
    bool IsCtsSet() override {
        ++reads;
        ctsReadWithRtsDown = ctsReadWithRtsDown && !rts.empty() && !rts.back();
        return m_readsUntilCts >= 0 && reads > m_readsUntilCts;
    }

    std::vector<bool> rts;
    int reads = 0;
    bool ctsReadWithRtsDown = true;

private:
    int m_readsUntilCts;
};

}  // namespace

TEST(SerialHandshakeTest, ActionRunsOnceCtsComesWithRtsRaisedAgain) {
    for (int readsUntilCts : {0, 3}) {
        CFakeLines lines(readsUntilCts);
        std::vector<bool> rtsAtAction;
        int r = CSerialHandshake::Run(lines, 5000, [&] {
            rtsAtAction = lines.rts;
            return 42;
        });
        EXPECT_EQ(r, 42);
        EXPECT_EQ(lines.reads, readsUntilCts + 1);
        EXPECT_TRUE(lines.ctsReadWithRtsDown);
        EXPECT_EQ(rtsAtAction, (std::vector<bool>{false, true}));
    }
}

TEST(SerialHandshakeTest, NoCtsWithinTheWaitGivesMinusTenWithoutTheAction) {
    CFakeLines lines(-1);
    bool ran = false;
    EXPECT_EQ(CSerialHandshake::Run(lines, 20,
                                    [&] {
                                        ran = true;
                                        return 0;
                                    }),
              CSerialHandshake::kNoCts);
    EXPECT_FALSE(ran);
    EXPECT_GE(lines.reads, 2);
    EXPECT_EQ(lines.rts, (std::vector<bool>{false, true}));
}
