#include "dialogs/AdjustOffsetDlg.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "controller/ShortMeasurementExecutable.h"
#include "dialogs/OperatorPrompt.h"
#include "display/DialogFont.h"
#include "files/FolderMemory.h"
#include "files/OffsetFile.h"
#include "platform/Folders.h"
#include "support/SystemTime.h"

namespace {

const QColor kDialogGrey(240, 240, 240);
const QColor kWithData(255, 165, 0);
const QColor kUnanswered(255, 0, 0);
constexpr int kUseColumn = 0;
constexpr int kDataColumn = 1;
constexpr int kAllRow = VEK::COffsetCapture::kAllRow;
constexpr const char* kFolderKind = "adjustoffset";
constexpr const char* kDefaultExtension = "*.csv";

// The file name of a path.
std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Paints the row header's title into the list's corner.
class CCornerTitle : public QObject {
public:
    CCornerTitle(QWidget* corner, QString title) : QObject(corner), m_title(std::move(title)) {
        corner->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        auto* corner = static_cast<QWidget*>(watched);
        QStyleOptionHeader option;
        option.initFrom(corner);
        option.rect = corner->rect();
        option.text = m_title;
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        // The corner is no button here: its title is drawn as the other headers are.
        option.state |= QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Active);
        QPainter painter(corner);
        corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
        return true;
    }

private:
    QString m_title;
};

QTableWidgetItem* Cell(const QString& text, const QColor& background, const QColor& foreground) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(background);
    item->setForeground(foreground);
    return item;
}

}  // namespace

CAdjustOffsetDlg::CAdjustOffsetDlg(IOperatorPrompt& prompt, VEK::TOffsetTable& table,
                                   IShortMeasurementExecutable& shortRun, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_table(table), m_shortRun(shortRun), m_capture(table) {
    Build();
    RefreshList();
    RefreshFileField();
    // Filling the field is no edit: only textEdited counts.
    m_comment->setText(QString::fromStdString(m_table.comment));
}

CAdjustOffsetDlg::~CAdjustOffsetDlg() = default;

void CAdjustOffsetDlg::Build() {
    setObjectName(QStringLiteral("146"));
    setWindowTitle(QStringLiteral("Adjust Offset"));
    const QFont font = DialogFont(14);
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kDialogGrey);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    m_list = new QTableWidget(VEK::TOffsetTable::kChannels + 1, 2, this);
    m_list->setObjectName(QStringLiteral("1039"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("Use/NoUse"), QStringLiteral("Data")});
    // The template's widths, wider where the dialog's font needs it for the header texts.
    const QFontMetrics metrics(font);
    const int padding = metrics.averageCharWidth() * 2;
    m_list->setColumnWidth(kUseColumn,
                           std::max(100, metrics.horizontalAdvance(QStringLiteral("Use/NoUse")) + padding));
    m_list->setColumnWidth(kDataColumn,
                           std::max(50, metrics.horizontalAdvance(QStringLiteral("Data")) + padding));
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setObjectName(QStringLiteral("1040"));
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_list->verticalHeader()->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("ALL")) + padding);
    QStringList rows{QStringLiteral("ALL")};
    for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel)
        rows << QString::number(channel);
    m_list->setVerticalHeaderLabels(rows);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setCornerButtonEnabled(false);
    if (auto* corner = m_list->findChild<QAbstractButton*>())
        new CCornerTitle(corner, QStringLiteral("Ch"));
    m_list->setFixedWidth(m_list->verticalHeader()->width() + m_list->columnWidth(kUseColumn) +
                          m_list->columnWidth(kDataColumn) + 2 * m_list->frameWidth() +
                          m_list->verticalScrollBar()->sizeHint().width());
    connect(m_list, &QTableWidget::cellClicked, this, &CAdjustOffsetDlg::OnCellClicked);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("170"));
    QAction* get =
        m_menu->addAction(QStringLiteral("Get Offset Data"), this, &CAdjustOffsetDlg::GetOffsetData);
    get->setObjectName(QStringLiteral("32797"));
    QAction* clear =
        m_menu->addAction(QStringLiteral("Clear Offset Data"), this, &CAdjustOffsetDlg::ClearOffsetData);
    clear->setObjectName(QStringLiteral("32798"));

    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::number(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* save = button(3, "Save Offset");
    QPushButton* load = button(4, "Load Offset");
    QPushButton* close = button(2, "Close");
    QPushButton* ok = button(1, "OK");
    ok->hide();
    connect(save, &QPushButton::clicked, this, &CAdjustOffsetDlg::SaveOffset);
    connect(load, &QPushButton::clicked, this, &CAdjustOffsetDlg::LoadOffset);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_fileField = new QLabel(this);
    m_fileField->setObjectName(QStringLiteral("1079"));
    m_comment = new QLineEdit(this);
    m_comment->setObjectName(QStringLiteral("1043"));
    connect(m_comment, &QLineEdit::textEdited, this, &CAdjustOffsetDlg::OnCommentEdited);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(load);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* top = new QHBoxLayout;
    top->addWidget(m_list);
    top->addLayout(buttons);
    auto* file = new QHBoxLayout;
    file->addWidget(new QLabel(QStringLiteral("File:"), this));
    file->addWidget(m_fileField, 1);
    auto* comment = new QHBoxLayout;
    comment->addWidget(new QLabel(QStringLiteral("Comment:"), this));
    comment->addWidget(m_comment, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(file);
    layout->addLayout(comment);
    resize(sizeHint().width() + 40, 520);
}

std::string CAdjustOffsetDlg::FileField() const {
    if (m_table.path.empty())
        return "not saved";
    return FileName(m_table.path) + (m_table.modified ? "*" : "");
}

void CAdjustOffsetDlg::RefreshFileField() {
    m_fileField->setText(QString::fromStdString(FileField()));
}

void CAdjustOffsetDlg::RefreshList() {
    FillAllRow();
    for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel) FillChannelRow(channel);
}

void CAdjustOffsetDlg::FillAllRow() {
    int inUse = 0;
    for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel)
        inUse += m_table.entries[channel].inUse;
    const QString text = inUse == VEK::TOffsetTable::kChannels ? QStringLiteral("Use")
                         : inUse == 0                          ? QStringLiteral("NoUse")
                                                               : QStringLiteral("\u2015");
    m_list->setItem(kAllRow, kUseColumn, Cell(text, Qt::white, Qt::black));
    m_list->setItem(kAllRow, kDataColumn, Cell(QString(), Qt::white, Qt::black));
}

void CAdjustOffsetDlg::FillChannelRow(int channel) {
    const VEK::TOffsetEntry& entry = m_table.entries[channel];
    m_list->setItem(channel, kUseColumn,
                    Cell(entry.inUse ? QStringLiteral("Use") : QStringLiteral("NoUse"),
                         entry.inUse && entry.HasValue() ? kWithData : QColor(Qt::white), Qt::black));
    const QString data = entry.HasValue()     ? QStringLiteral("*")
                         : entry.Unanswered() ? QStringLiteral("E")
                                              : QString();
    m_list->setItem(channel, kDataColumn,
                    Cell(data, Qt::white, entry.Unanswered() ? kUnanswered : QColor(Qt::black)));
}

void CAdjustOffsetDlg::OnCellClicked(int row, int column) {
    if (column != kUseColumn) {
        m_menuRow = row;
        const QRect cell = m_list->visualRect(m_list->model()->index(row, column));
        m_menu->popup(m_list->viewport()->mapToGlobal(cell.bottomLeft()));
        return;
    }
    if (row == kAllRow) {
        bool anyInUse = false;
        for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel)
            anyInUse = anyInUse || m_table.entries[channel].inUse;
        for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel)
            m_table.entries[channel].inUse = !anyInUse;
    } else {
        m_table.entries[row].inUse = !m_table.entries[row].inUse;
    }
    m_table.modified = true;
    RefreshList();
    RefreshFileField();
}

void CAdjustOffsetDlg::OnCommentEdited(const QString& text) {
    m_table.comment = text.toStdString();
    m_table.modified = true;
    RefreshFileField();
}

void CAdjustOffsetDlg::GetOffsetData() {
    if (m_wait != nullptr)
        return;
    QEventLoop wait;
    m_wait = &wait;
    // Called on the receive thread; the wait ends on this one.
    m_capture.Open(m_menuRow, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_wait != nullptr)
                    m_wait->quit();
            },
            Qt::QueuedConnection);
    });
    m_shortRun.Execute(true);
    setEnabled(false);
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    limit.start(kCaptureWaitMs);
    if (!m_closing && m_capture.PendingCount() > 0)
        wait.exec();
    m_wait = nullptr;
    // Closed before the short measurement ends: a report still on its way changes nothing now.
    const std::vector<int> unanswered = m_capture.Close();
    setEnabled(true);
    m_shortRun.Execute(false);
    RefreshList();
    RefreshFileField();
    if (!unanswered.empty() && !m_closing)
        m_prompt.Tell(IOperatorPrompt::EIcon::kError, "Failed to get offset data");
}

void CAdjustOffsetDlg::ClearOffsetData() {
    if (!m_prompt.Ask({"Are you sure to clear the offset data?"}))
        return;
    for (int channel = 1; channel <= VEK::TOffsetTable::kChannels; ++channel) {
        if (m_menuRow != kAllRow && m_menuRow != channel)
            continue;
        m_table.entries[channel].hasData = false;
        m_table.entries[channel].offset = 0;
    }
    m_table.modified = true;
    RefreshList();
    RefreshFileField();
}

void CAdjustOffsetDlg::SaveOffset() {
    IOperatorPrompt::TFileRequest request{true, kFilter, kDefaultExtension};
    // A table never saved gets a name from the time, not the file field's "not saved".
    request.proposedName =
        m_table.path.empty() ? VEK::CSystemTime::Now().Format("%Y%m%d%H%M%S.csv") : FileName(m_table.path);
    // The offset folder below the documents folder is made when first needed (a folder chosen
    // elsewhere that has gone, a removed stick's, is not made again).
    request.startFolder = VEK::LoadLastFolder(kFolderKind);
    if (request.startFolder.rfind(VEK::DocumentsFolder() + "/", 0) == 0)
        VEK::CreateFolderWithParents(request.startFolder);
    const std::optional<std::string> path = m_prompt.ChooseFile(request);
    if (!path)
        return;
    if (!VEK::SaveOffsetFile(m_table, *path)) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kError, "Failed to save data to the file.");
        return;
    }
    VEK::SaveLastFolder(kFolderKind, *path);
    RefreshFileField();
}

void CAdjustOffsetDlg::LoadOffset() {
    IOperatorPrompt::TFileRequest request{false, kFilter, kDefaultExtension};
    request.startFolder = VEK::LoadLastFolder(kFolderKind);
    const std::optional<std::string> path = m_prompt.ChooseFile(request);
    if (!path)
        return;
    if (!VEK::LoadOffsetFile(m_table, *path)) {
        m_prompt.Tell(IOperatorPrompt::EIcon::kError, "Failed to read data from the file.");
        return;
    }
    VEK::SaveLastFolder(kFolderKind, *path);
    RefreshList();
    RefreshFileField();
    m_comment->setText(QString::fromStdString(m_table.comment));
    m_prompt.Tell(IOperatorPrompt::EIcon::kInformation, "Finished reading data from the file.");
}

void CAdjustOffsetDlg::closeEvent(QCloseEvent* event) {
    if (m_wait != nullptr) {
        m_closing = true;
        m_wait->quit();
    }
    QDialog::closeEvent(event);
}
