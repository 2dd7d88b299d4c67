// Dialog base: a plain window with only a close button, centred on the
// primary screen every time it is shown.
#pragma once

#include <QDialog>

class BaseDialog : public QDialog
{
public:
    explicit BaseDialog(QWidget* parent);
    ~BaseDialog() override;

protected:
    void showEvent(QShowEvent* event) override;
    void MoveToScreenCenter();

    bool bCenterOnShow = false;
};
