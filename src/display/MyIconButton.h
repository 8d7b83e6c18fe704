#pragma once
#include <QIcon>

#include "display/DrawingButton.h"

// The main window's icon button: the icon drawn on the button face, greyed while disabled.
class CMyIconButton : public VEK::MFC::CDrawingButton {
    Q_OBJECT
public:
    static constexpr int kIconSize = 32;

    explicit CMyIconButton(QWidget* parent = nullptr, EKind kind = kPush) : CDrawingButton(parent, kind) {}

    void SetIcon(const QIcon& icon, int size = kIconSize);
    const QIcon& Icon() const { return m_icon; }

private:
    QIcon m_icon;
};
