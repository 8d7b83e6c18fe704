#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>

#include "display/EditDword.h"
#include "display/EditInt.h"
#include "display/SpinArrows.h"
#include "display/TestApplication.h"

namespace {

using EBeep = CEditNumber::EBeep;

class EditNumberTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(); }

    // Records the field's beeps; the clock is the test's.
    void Watch(CEditNumber& field) {
        QObject::connect(&field, &CEditNumber::beeped, [this](EBeep kind) { beeps.push_back(kind); });
        field.SetClock([this] { return nowMs; });
    }
    static void Type(CEditNumber& field, const QString& keys) { QTest::keyClicks(&field, keys); }
    static void Paste(CEditNumber& field, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        field.paste();
    }
    static void Leave(CEditNumber& field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&field, &out);
    }
    static void Key(CEditNumber& field, Qt::Key key, bool autoRepeat, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&field, &event);
    }
    static void Wheel(CEditNumber& field, int notches) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&field, &event);
    }

    std::vector<EBeep> beeps;
    int64_t nowMs = 0;
};

TEST_F(EditNumberTest, TypingTakesDigitsAndRefusesTheRestWithABeep) {
    struct TCase {
        bool signedField;
        QString start;
        int caret;  // -1: the whole text selected
        QString keys;
        QString expected;
        size_t refused;
    };
    const TCase cases[] = {
        {false, "", 0, "12a3", "123", 1}, {false, "", 0, "-5", "5", 1}, {false, "", 0, "1.5", "15", 1},
        {true, "", 0, "-5", "-5", 0},     {true, "5", 1, "-", "5", 1},  // a minus only at the start
        {true, "5", 0, "-", "-5", 0},                                   // caret at the start
        {true, "-5", 0, "-", "-5", 1},                                  // a second minus
        {true, "-5", -1, "-", "-", 0},  // over a selection from the first character
    };
    for (const TCase& c : cases) {
        beeps.clear();
        std::unique_ptr<CEditNumber> field;
        if (c.signedField)
            field = std::make_unique<CEditInt>();
        else
            field = std::make_unique<CEditDword>();
        Watch(*field);
        field->setText(c.start);
        if (c.caret < 0)
            field->selectAll();
        else
            field->setCursorPosition(c.caret);
        Type(*field, c.keys);
        EXPECT_EQ(field->text(), c.expected) << c.keys.toStdString();
        EXPECT_EQ(beeps.size(), c.refused) << c.keys.toStdString();
    }
}

TEST_F(EditNumberTest, PasteDropsRefusedCharactersWithOneBeep) {
    CEditInt field;
    Watch(field);
    Paste(field, "-1a2-3 4");
    EXPECT_EQ(field.text(), "-1234");
    EXPECT_EQ(beeps, std::vector<EBeep>{EBeep::kRefused});
}

TEST_F(EditNumberTest, ValuesAboveTheMaximumAreCutAtOnce) {
    CEditDword field;
    Watch(field);
    Type(field, "429496729");
    EXPECT_TRUE(beeps.empty());
    Type(field, "6");
    EXPECT_EQ(field.text(), "4294967295");
    EXPECT_EQ(beeps, std::vector<EBeep>{EBeep::kInformation});

    // 25 digits read as the largest number, not as what is left after an overflow.
    CEditDword pasted;
    Paste(pasted, "9999999999999999999999999");
    EXPECT_EQ(pasted.text(), "4294967295");
    EXPECT_EQ(pasted.Value(), 4294967295u);
    CEditInt negative;
    negative.setText("-99999999999999999999999");
    EXPECT_EQ(negative.Value(), -2147483647);
}

TEST_F(EditNumberTest, LeavingTheFieldClampsAndLowersToTheStep) {
    struct TCase {
        int64_t minimum, maximum, step;
        QString text;
        QString expected;
        bool beep;
    };
    const TCase cases[] = {
        {10, 100, 1, "5", "10", true},  {10, 100, 1, "007", "10", true},
        {0, 100, 1, "007", "7", false},                                 // same value, cleaner text
        {0, 100, 5, "17", "15", true},  {3, 100, 5, "17", "13", true},  // counted from a minimum above 0
        {0, 100, 1, "", "", false},                                     // empty stays empty
    };
    for (const TCase& c : cases) {
        beeps.clear();
        CEditDword field;
        Watch(field);
        field.SetRange(c.minimum, c.maximum);
        field.SetStep(c.step);
        field.setText(c.text);
        Leave(field);
        EXPECT_EQ(field.text(), c.expected) << c.text.toStdString();
        EXPECT_EQ(!beeps.empty(), c.beep) << c.text.toStdString();
    }
}

TEST_F(EditNumberTest, RangeIsSwappedAndLimitedToTheKind) {
    CEditDword dword;
    dword.SetRange(100, 10);
    EXPECT_EQ(dword.Minimum(), 10);
    EXPECT_EQ(dword.Maximum(), 100);
    dword.SetRange(-5, 1LL << 40);
    EXPECT_EQ(dword.Minimum(), 0);
    EXPECT_EQ(dword.Maximum(), 4294967295);
    dword.SetStep(0);
    EXPECT_EQ(dword.Step(), 1);
    EXPECT_FALSE(dword.Value().has_value());

    CEditInt signedField;
    EXPECT_EQ(signedField.Minimum(), -2147483647);
    EXPECT_EQ(signedField.Maximum(), 2147483646);
    signedField.SetDisplayWidth(4);
    signedField.SetValue(-7);
    EXPECT_EQ(signedField.text(), "-0007");
    signedField.SetValue(7);
    EXPECT_EQ(signedField.text(), "0007");
}

TEST_F(EditNumberTest, StepsStayInsideBothEnds) {
    struct TCase {
        bool signedField;
        int64_t minimum, maximum, step;
        QString start;
        int direction, k;
        QString expected;
    };
    const TCase cases[] = {
        {false, 0, 4294967295, 1, "0", -1, 1, "0"},  // not 4294967295
        {false, 0, 4294967295, 1, "4294967295", 1, 1, "4294967295"},
        {false, 0, 4294967295, 1, "4294967294", 1, 5, "4294967295"},
        {true, -2147483647, 2147483646, 1, "-2147483647", -1, 50, "-2147483647"},
        {true, -2147483647, 2147483646, 1, "2147483646", 1, 50, "2147483646"},
        {false, 0, 1000, 1, "7", 1, 5, "10"},  // to the next multiple of the increment
        {false, 0, 1000, 1, "10", -1, 5, "5"},
        {false, 0, 1000, 10, "15", 1, 1, "20"},  // with a step: multiples of the step
        {true, -100, 100, 1, "-7", 1, 5, "0"},
        {false, 0, 1000, 1, "", 1, 1, "1"},
    };
    for (const TCase& c : cases) {
        std::unique_ptr<CEditNumber> field;
        if (c.signedField)
            field = std::make_unique<CEditInt>();
        else
            field = std::make_unique<CEditDword>();
        field->SetRange(c.minimum, c.maximum);
        field->SetStep(c.step);
        field->setText(c.start);
        field->StepBy(c.direction, c.k);
        EXPECT_EQ(field->text(), c.expected) << c.start.toStdString() << " " << c.direction * c.k;
    }
}

TEST_F(EditNumberTest, UpKeyHeldAcceleratesOnTheClock) {
    CEditDword field;
    Watch(field);
    field.SetValue(0);
    Key(field, Qt::Key_Up, false);
    EXPECT_EQ(field.text(), "1");
    nowMs = 1900;
    Key(field, Qt::Key_Up, true);
    EXPECT_EQ(field.text(), "2");
    nowMs = 2000;
    Key(field, Qt::Key_Up, true);
    EXPECT_EQ(field.text(), "5");
    nowMs = 4000;
    Key(field, Qt::Key_Up, true);
    EXPECT_EQ(field.text(), "10");
    nowMs = 6000;
    Key(field, Qt::Key_Up, true);
    EXPECT_EQ(field.text(), "50");
    Key(field, Qt::Key_Up, false, QEvent::KeyRelease);
    // A new press starts slow again.
    nowMs = 9000;
    Key(field, Qt::Key_Down, false);
    EXPECT_EQ(field.text(), "49");
    EXPECT_EQ(field.cursorPosition(), 0);
}

TEST_F(EditNumberTest, ArrowsWheelAndReadOnly) {
    CEditDword field;
    field.resize(80, 24);
    field.show();
    field.SetValue(5);
    auto* arrows = field.findChild<CSpinArrows*>();
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(arrows->geometry().right(),
              field.width() - 1 - field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    QTest::mousePress(arrows, Qt::LeftButton, {}, QPoint(arrows->width() / 2, 2));
    QTest::mouseRelease(arrows, Qt::LeftButton, {}, QPoint(arrows->width() / 2, 2));
    EXPECT_EQ(field.text(), "6");
    QTest::mouseClick(arrows, Qt::LeftButton, {}, QPoint(arrows->width() / 2, arrows->height() - 2));
    EXPECT_EQ(field.text(), "5");
    Wheel(field, 1);
    EXPECT_EQ(field.text(), "6");
    Wheel(field, -3);
    EXPECT_EQ(field.text(), "3");
    field.setReadOnly(true);
    EXPECT_FALSE(arrows->isEnabled());
    Wheel(field, 1);
    Key(field, Qt::Key_Up, false);
    EXPECT_EQ(field.text(), "3");
}

}  // namespace
