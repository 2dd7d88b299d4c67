#include "BaseDialog.h"

#include <QGuiApplication>
#include <QScreen>

BaseDialog::BaseDialog(QWidget* parent)
    : QDialog(parent, Qt::WindowFlags())
{
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    bCenterOnShow = true;
}

BaseDialog::~BaseDialog() = default;

void BaseDialog::showEvent(QShowEvent* event)
{
    if (bCenterOnShow)
        MoveToScreenCenter();
    QDialog::showEvent(event);
}

void BaseDialog::MoveToScreenCenter()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Measured from the screen origin on purpose: the host places its own
    // windows the same way.
    const QRect available = screen->availableGeometry();
    const int y = (available.height() - height()) / 2;
    const int x = (available.width() - width()) / 2;
    move(x, y);
}
