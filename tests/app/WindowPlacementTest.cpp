#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "display/TestApplication.h"
#include "display/WindowPlacement.h"
#include "files/InifileAccessor.h"
#include "support/TestHome.h"

using namespace VEK;

namespace {

class WindowPlacementTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }
    std::string path = testing_support::TestHome() + "/placement/lastone.ini";
    CInifileAccessor accessor{path};
    AccessorSection section{&accessor, "main-dlg"};
    QWidget window;

    void SetUp() override {
        testing_support::WriteFile(path, "");  // creates the folder
        window.setGeometry(10, 20, 300, 200);
    }
    void Store(int valid, int sx, int sy, int ex, int ey) {
        section.SetInteger("Valid", valid);
        section.SetInteger("SX", sx);
        section.SetInteger("SY", sy);
        section.SetInteger("EX", ex);
        section.SetInteger("EY", ey);
    }
};

}  // namespace

TEST_F(WindowPlacementTest, RestoreRules) {
    struct {
        int valid, sx, sy, ex, ey;
        bool resizable;
        QRect expected;
    } cases[] = {
        {0, 50, 60, 450, 360, true, QRect(10, 20, 300, 200)},  // never saved
        {1, 50, 60, 450, 360, true, QRect(50, 60, 400, 300)},
        {1, 0, 0, 4001, 300, true, QRect(10, 20, 300, 200)},  // wider than 4000
        {1, 0, 0, 4000, 4000, true, QRect(0, 0, 4000, 4000)},
        {1, 500, 0, 100, 300, true, QRect(10, 20, 300, 200)},   // inverted: huge as unsigned
        {1, 50, 60, 450, 360, false, QRect(50, 60, 300, 200)},  // position only
    };
    for (const auto& c : cases) {
        window.setGeometry(10, 20, 300, 200);
        Store(c.valid, c.sx, c.sy, c.ex, c.ey);
        RestoreWindowPlacement(window, section, c.resizable);
        EXPECT_EQ(window.geometry(), c.expected) << c.sx << "," << c.ex << " resizable " << c.resizable;
    }
}

TEST_F(WindowPlacementTest, SaveWritesTheNormalRectangle) {
    window.setGeometry(30, 40, 500, 400);
    ASSERT_TRUE(SaveWindowPlacement(window, section));
    EXPECT_EQ(section.GetInteger("Valid", 0), 1);
    EXPECT_EQ(section.GetInteger("SX", -1), 30);
    EXPECT_EQ(section.GetInteger("SY", -1), 40);
    EXPECT_EQ(section.GetInteger("EX", -1), 530);
    EXPECT_EQ(section.GetInteger("EY", -1), 440);
    EXPECT_EQ(section.GetInteger("Show", -1), 0);
}
