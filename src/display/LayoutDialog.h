#pragma once
#include <QDialog>

#include "display/layout/ILayout.h"

namespace VEK::MFC {

class CLayoutHost;

// A resizable dialog whose controls an arrangement places: it keeps a clone of the arrangement
// and runs it on every size change. Its minimum size is the larger of the arrangement's minimum
// and the least size the window asks for.
class CLayoutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CLayoutDialog(QWidget* parent = nullptr);

    // Keeps a clone and lays it out at once for the current size.
    void SetLayout(const ILayout& layout);
    const ILayout* Arrangement() const;
    void SetMinimumTrackSize(QSize size);

private:
    void ApplyMinimumSize();

    CLayoutHost* m_host;
    QSize m_minimumTrack;
};

}  // namespace VEK::MFC
