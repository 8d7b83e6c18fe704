#pragma once
#include <QDialog>
#include <string>

class QLineEdit;

// Edits the comment of one channel for the setup dialog. The comment takes no comma and no
// control character: the settings and data files keep comments between commas on one line, so a
// typed comma is ignored and a pasted one, or a pasted line break or tab, becomes a blank.
class CUserCommentDlg : public QDialog {
    Q_OBJECT
public:
    CUserCommentDlg(int channel, const std::string& comment, QWidget* parent = nullptr);

    // After OK: the comment entered (UTF-8).
    std::string Comment() const { return m_comment; }
    // Commas and control characters replaced by blanks.
    static QString CleanComment(QString text);

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEdited(const QString& text);

    QLineEdit* m_edit;
    std::string m_comment;
};
