// The main window's arrangements with a 30-channel data file loaded: graph mode and 1, 2 and 4
// lists, at the least window size, maximised and back, each saved as a picture and checked for
// overlapping and clipped controls. The process runs once on a 1920 × 1080 screen and once at
// twice the scale on a 3840 × 2160 one (its ctest entry sets the screen and the scale).
#include <QComboBox>
#include <QScreen>
#include <QWindow>
#include <map>

#include "MainDlgFixture.h"
#include "app/InformationLineWrap.h"
#include "app/MainDlgArrangement.h"
#include "display/DialogFont.h"

namespace {

using Ids = CMainDlgControls;
const QSize kLeast{861, 600};
constexpr int kMargin = 10;
constexpr int kGap = 6;
const std::string kFixture = std::string(HOLLOWMERE_SOURCE_DIR) + "/tests/app/fixtures/graph30.csv";
// The controls each mode shows besides the top bar and the information line.
const std::vector<int> kGraphModeControls = {1046, 1028, 1025, 1026, 1029, 1022, 1024, 1023, 1013, 1005,
                                             1007, 1006, 1011, 1001, 1002, 1012, 1008, 1010, 1009, 1015};
const std::vector<int> kListModeControls = {1040, 1041, 1044};

std::string Name(const QWidget* widget) {
    return "[" + widget->objectName().toStdString() + "] " + widget->metaObject()->className();
}

class MainDlgScreenTest : public CMainDlgFixture {
protected:
    void SetUp() override {
        CMainDlgFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(Load(kFixture));
    }

    void Load(const std::string& path) {
        prompt.onChooseFile = [path](const IOperatorPrompt::TFileRequest&) { return std::optional(path); };
        Trigger(Ids::kLoadData);
        ASSERT_EQ(prompt.Told().back(), "Finished reading data from the file.");
        ASSERT_EQ(Store().RecordCount(), 600u);
        // The graph's first picture puts its last record into the lists.
        ASSERT_TRUE(Pump([&] { return !TemperatureText(1).empty(); }, 5000));
    }

    std::string TemperatureText(int channel, int list = 0) const {
        const CMyTemperatureValueListRapper& shown = dialog->ValueLists().Model().List(list);
        const int row = shown.RowOf(channel);
        return row < 0 ? std::string()
                       : shown.CellLook(row, shown.ColumnIndex(EValueColumn::kTemperature)).text;
    }

    bool GraphShown() const { return dialog->Controls().Action(Ids::kGraphDisplay)->isChecked(); }
    static bool Scaled() { return qApp->devicePixelRatio() > 1.5; }

    // Graph mode, or lists only with 1, 2 or 4 lists.
    void SetMode(int lists) {
        const bool graph = lists == 0;
        if (GraphShown() != graph)
            Trigger(Ids::kGraphDisplay);
        if (!graph) {
            // As the combo box's choice does.
            const int index = lists == 1 ? 0 : lists == 2 ? 1 : 2;
            dialog->Controls().ListCountBox()->setCurrentIndex(index);
            dialog->SetListCount(index);
        }
        ASSERT_EQ(GraphShown(), graph);
    }

    // Waits until the window has the size (the platform reports it as an event).
    void ResizeTo(QSize size) {
        dialog->resize(size);
        ASSERT_TRUE(Pump([&] { return dialog->size() == size; }, 5000))
            << dialog->width() << "x" << dialog->height();
        QCoreApplication::sendPostedEvents();
    }

    std::vector<QWidget*> VisibleControls() const {
        std::vector<QWidget*> controls;
        for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isWindow() && child->isVisible())
                controls.push_back(child);
        return controls;
    }

    std::vector<int> VisibleIds() const {
        std::vector<int> ids;
        for (QWidget* control : VisibleControls()) ids.push_back(control->objectName().toInt());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    // The top bar, the information line and the mode's own controls, nothing else.
    static std::vector<int> ShownIn(int lists) {
        std::vector<int> ids = {1017, 1016, 1003, 1042, 1043, 1018, 1045, 1021};
        const std::vector<int>& own = lists == 0 ? kGraphModeControls : kListModeControls;
        ids.insert(ids.end(), own.begin(), own.end());
        for (int i = 0; i < lists; ++i) ids.push_back(Ids::kRowHeaders[i]);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    std::map<std::string, QRect> Rectangles() const {
        std::map<std::string, QRect> rects;
        for (QWidget* control : VisibleControls()) rects[Name(control)] = control->geometry();
        return rects;
    }

    // No two visible controls overlap; each lies in the client area at its natural size or more
    // and shows its text uncut; the horizontal bar spans the graph area; the graph part and the
    // list beside it share the width 65 : 35 after the gap.
    void CheckArrangement(const std::string& where) const {
        SCOPED_TRACE(where);
        const std::vector<QWidget*> controls = VisibleControls();
        for (size_t i = 0; i < controls.size(); ++i) {
            for (size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << Name(controls[i]) << " overlaps " << Name(controls[j]);
            const QWidget* control = controls[i];
            EXPECT_TRUE(dialog->rect().contains(control->geometry()))
                << Name(control) << " leaves the window";
            const QSize natural = MainDlgNaturalSize(dialog->Controls(), control->objectName().toInt());
            EXPECT_GE(control->width(), natural.width()) << Name(control);
            EXPECT_GE(control->height(), natural.height()) << Name(control);
            if (auto* label = qobject_cast<const QLabel*>(control)) {
                const QSize text = label->fontMetrics().boundingRect(QRect(), 0, label->text()).size();
                EXPECT_LE(text.width(), label->contentsRect().width()) << Name(control) << " cuts its text";
                EXPECT_LE(text.height(), label->contentsRect().height()) << Name(control) << " cuts its text";
            }
        }
        // The root margins count once, at any scale.
        EXPECT_EQ(Control(Ids::kStatus)->x(), kMargin);
        if (!GraphShown())
            return;
        const QRect area = Control(Ids::kGraphArea)->geometry();
        const QRect bar = Control(1023)->geometry();
        EXPECT_EQ(bar.left(), area.left());
        EXPECT_EQ(bar.right(), area.right());
        const int shared = dialog->width() - 2 * kMargin - kGap;
        const QRect list = Control(Ids::kRowHeader0)->geometry();
        EXPECT_EQ(list.x(), kMargin + shared * 65 / 100 + kGap);
        EXPECT_EQ(list.width(), shared - shared * 65 / 100);
        EXPECT_EQ(list.right(), dialog->width() - kMargin - 1);
    }

    // In graph mode, until the graph has drawn the file's channels at the area's size.
    void AwaitGraph() {
        if (!GraphShown())
            return;
        QWidget* area = Control(Ids::kGraphArea);
        const CGraph& graph = dialog->Graph().Graph();
        ASSERT_TRUE(Pump(
            [&] {
                const QImage& picture = graph.Picture();
                if (picture.isNull() || picture.size() != area->size())
                    return false;
                int coloured = 0;
                for (int y = 0; y < picture.height(); y += 2)
                    for (int x = 0; x < picture.width(); x += 2) {
                        const QRgb pixel = picture.pixel(x, y);
                        coloured += qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel);
                    }
                return coloured > 200;
            },
            5000));
    }

    void Shoot(const std::string& name, QSize logical) {
        ASSERT_NO_FATAL_FAILURE(AwaitGraph());
        Screenshot(name + ".png");
        const QPixmap picture = dialog->grab();
        EXPECT_EQ(picture.size(), logical * qApp->devicePixelRatio()) << name;
    }

    // The mode at the least size, maximised and back; the pictures of each.
    void Walk(int lists, const std::string& name) {
        ASSERT_NO_FATAL_FAILURE(SetMode(lists));
        ASSERT_NO_FATAL_FAILURE(ResizeTo(kLeast));
        // Smaller is refused.
        dialog->resize(700, 500);
        EXPECT_EQ(dialog->size(), kLeast);
        EXPECT_EQ(VisibleIds(), ShownIn(lists));
        // The loaded data's temperatures survive the change of mode.
        EXPECT_FALSE(TemperatureText(1, lists == 0 ? 0 : 1).empty()) << name;
        CheckArrangement(name + " at the least size");
        const std::map<std::string, QRect> first = Rectangles();
        if (Scaled()) {
            Shoot(name + "-2x", kLeast);
            return;
        }
        Shoot(name, kLeast);

        dialog->showMaximized();
        ASSERT_TRUE(Pump([&] { return dialog->width() > 1800 && dialog->height() > 900; }, 5000))
            << dialog->width() << "x" << dialog->height();
        QCoreApplication::sendPostedEvents();
        CheckArrangement(name + " maximised");
        Shoot(name + "-maximised", dialog->size());

        dialog->showNormal();
        ASSERT_TRUE(Pump([&] { return dialog->size() == kLeast; }, 5000));
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(Rectangles(), first) << name << ": maximised and back";
    }
};

TEST_F(MainDlgScreenTest, GraphMode) {
    Walk(0, "screen-graph");
}

TEST_F(MainDlgScreenTest, OneList) {
    Walk(1, "screen-list1");
}

TEST_F(MainDlgScreenTest, TwoLists) {
    Walk(2, "screen-list2");
}

TEST_F(MainDlgScreenTest, FourListsOfEqualWidth) {
    Walk(4, "screen-list4");
    std::vector<int> widths;
    for (int id : Ids::kRowHeaders) widths.push_back(Control(id)->width());
    const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
    EXPECT_LE(*widest - *narrowest, 1);
}

TEST_F(MainDlgScreenTest, FontsFollowTheDialogFont) {
    // The family scripts/setup.sh installs, not a stand-in.
    EXPECT_EQ(QFontInfo(DialogFont()).family(), "IPAPGothic");
    const double points = Control(Ids::kListCount)->font().pointSizeF() / 2.1;
    EXPECT_NEAR(points, 9.0, 0.05);
    const std::pair<int, double> sizes[] = {{Ids::kStatus, 1.4},
                                            {Ids::kInformation, 1.4},
                                            {1011, 1.4},
                                            {1013, 1.4},
                                            {1012, 1.4},
                                            {Ids::kSamplingRateLabel, 1.4},
                                            {Ids::kGraphCheck, 2.1},
                                            {Ids::kUnitLabel, 1.2},
                                            {1025, 1.2},
                                            {1026, 1.2},
                                            {1029, 1.2},
                                            {Ids::kElapsedReadout, 1.2}};
    for (const auto& [id, scale] : sizes) {
        const QFont font = Control(id)->font();
        EXPECT_NEAR(font.pointSizeF(), 9.0 * scale, 0.05) << id;
        EXPECT_EQ(font.bold(), scale == 1.2) << id;
    }
    for (int id :
         {1019, 1030, 1031, static_cast<int>(Ids::kGraphCheck), static_cast<int>(Ids::kSamplingRateLabel)})
        EXPECT_FALSE(Control(id)->isVisible()) << id;
}

// The information line of a file with a long name breaks at the least width and its row grows
// with it (the arrangement checks that nothing is cut); it is one line again in the maximised
// window.
TEST_F(MainDlgScreenTest, InformationLineBreaksWhereItDoesNotFit) {
    const std::string path = DataPath("temperatures of the north hall, second week of March, all probes.csv");
    testing_support::WriteFile(path, testing_support::ReadFile(kFixture));
    ASSERT_NO_FATAL_FAILURE(Load(path));
    ASSERT_NO_FATAL_FAILURE(ResizeTo(kLeast));
    const QLabel* line = Control<QLabel>(Ids::kInformation);
    EXPECT_EQ(line->text().count('\n'), 2) << line->text().toStdString();
    CheckArrangement("a long file name");
    if (Scaled())
        return;
    dialog->showMaximized();
    ASSERT_TRUE(Pump([&] { return dialog->width() > 1800; }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(line->text().contains('\n')) << line->text().toStdString();
    CheckArrangement("a long file name, maximised");
    dialog->showNormal();
}

// A window too narrow for the information line in one line breaks it after a separator, and
// a wide one shows it whole.
TEST(InformationLineWrapTest, BreaksAfterTheSeparatorBeforeThePartThatDoesNotFit) {
    const auto chars = [](const QString& line) { return static_cast<int>(line.size()); };
    const QString text = QStringLiteral(" File: a.csv   / Sampling Rate: 1sec / System No.: 5");
    EXPECT_EQ(CInformationLineWrap::Wrap(text, 100, chars), text);
    EXPECT_EQ(CInformationLineWrap::Wrap(text, 40, chars),
              QStringLiteral(" File: a.csv   / Sampling Rate: 1sec /\nSystem No.: 5"));
    EXPECT_EQ(CInformationLineWrap::Wrap(text, 20, chars),
              QStringLiteral(" File: a.csv   /\nSampling Rate: 1sec /\nSystem No.: 5"));
    // A part longer than the width alone stays whole.
    EXPECT_EQ(CInformationLineWrap::Wrap(text, 5, chars),
              QStringLiteral(" File: a.csv   /\nSampling Rate: 1sec /\nSystem No.: 5"));
    EXPECT_EQ(CInformationLineWrap::Wrap(QStringLiteral("no separator at all"), 3, chars),
              QStringLiteral("no separator at all"));
}

}  // namespace
