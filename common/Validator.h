// Range check for one line edit, with a tip under the field that tells the
// permitted range. Whole-number form (mode 1) or decimal form (mode 2).
#pragma once

#include <QDoubleValidator>

class QLineEdit;

class Validator : public QDoubleValidator
{
public:
    // Whole-number form: bounds used as given (nConvert 0), nMode 1.
    Validator(QLineEdit* pLineEdit, int nBottom, int nTop, int nConvert, int nMode);
    // Decimal form: nMode 2; a dReset of +infinity means "reset to bottom".
    Validator(QLineEdit* pLineEdit, double dBottom, double dTop, int nDecimals, int nConvert, int nMode,
              double dReset);
    ~Validator() override;

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    State validate(QString& input, int& pos) const override;

    // Makes pValidator the line edit's validator. The line edit owns it, and
    // a Validator it had before is deleted, so an old range can never act
    // through its event filter again. Without a line edit nothing happens and
    // pValidator stays the caller's.
    static void Install(QLineEdit* pLineEdit, Validator* pValidator);

private:
    void Watch();
    void ShowTip(const QString& text) const;
    void HideTip() const;
    QString WholeTip() const;
    QString DecimalTip() const;

    QLineEdit* pLineEdit = nullptr;
    int nMode = 0;
    int nBottom = 0;
    int nTop = 0;
    int nDecimals = 0;
    double dBottom = 0.0;
    double dTop = 0.0;
    double dReset = 0.0;
};
