#include "Validator.h"

#include "CTranslator.h"

#include <QEvent>
#include <QIntValidator>
#include <QLineEdit>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QToolTip>

#include <cstring>
#include <limits>

Validator::Validator(QLineEdit* pLineEdit, int nBottom, int nTop, int /*nConvert*/, int nMode)
    : QDoubleValidator(nullptr), pLineEdit(pLineEdit), nMode(nMode), nBottom(nBottom), nTop(nTop)
{
    Watch();
}

Validator::Validator(QLineEdit* pLineEdit, double dBottom, double dTop, int nDecimals, int /*nConvert*/,
                     int nMode, double dReset)
    : QDoubleValidator(nullptr), pLineEdit(pLineEdit), nMode(nMode), nDecimals(nDecimals), dBottom(dBottom),
      dTop(dTop), dReset(dReset == std::numeric_limits<double>::infinity() ? dBottom : dReset)
{
    setRange(dBottom, dTop, nDecimals);
    Watch();
}

Validator::~Validator() = default;

void Validator::Watch()
{
    // Numbers are read with QString::toInt/toDouble, which know only the C
    // locale; the base class must judge the same text the same way on every
    // machine.
    setLocale(QLocale::c());
    if (pLineEdit)
        pLineEdit->installEventFilter(this);
}

void Validator::Install(QLineEdit* pLineEdit, Validator* pValidator)
{
    if (!pLineEdit)
        return;
    Validator* pOld = dynamic_cast<Validator*>(const_cast<QValidator*>(pLineEdit->validator()));
    if (pOld != pValidator)
        delete pOld;
    if (pValidator)
        pValidator->setParent(pLineEdit);
    pLineEdit->setValidator(pValidator);
}

QValidator::State Validator::validate(QString& input, int& pos) const
{
    if (nMode == 1) {
        if (input.isEmpty())
            return Intermediate;
        bool ok = false;
        const int n = input.toInt(&ok, 10);
        // Below the bottom stays open: with a bottom of 8, "1" leads to "15".
        if (n < nBottom) {
            ShowTip(WholeTip());
            return Intermediate;
        }
        if (!ok) {
            ShowTip(WholeTip());
            return Invalid;
        }
        QIntValidator judge(nBottom, nTop);
        judge.setLocale(locale());
        // Qt 6 holds "61" as Intermediate under a top of 60 (no more digits
        // than the top); a number above the top is refused all the same.
        const State state = n > nTop ? Invalid : judge.validate(input, pos);
        if (state == Invalid)
            ShowTip(WholeTip());
        else
            HideTip();
        return state;
    }

    if (nMode == 2) {
        bool ok = false;
        const double d = input.toDouble(&ok);
        if (!ok || d < bottom()) {
            ShowTip(DecimalTip());
            return Intermediate;
        }
        if (d > top()) {
            ShowTip(DecimalTip());
            return Invalid;
        }
        // A minus just typed in front of the digits.
        if (input.startsWith(QLatin1Char('-')) && pos == 1)
            return Intermediate;
        HideTip();
        const State state = QDoubleValidator::validate(input, pos);
        if (state == Invalid)
            ShowTip(DecimalTip());
        return state;
    }

    return QDoubleValidator::validate(input, pos);
}

bool Validator::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pLineEdit && pWatched == pLineEdit
        && (pEvent->type() == QEvent::Leave || pEvent->type() == QEvent::FocusOut)
        && std::strcmp(pWatched->metaObject()->className(), "QLineEdit") == 0
        && qobject_cast<QLineEdit*>(pWatched)) {
        QString strReplace;
        if (nMode == 1) {
            bool ok = false;
            const int n = pLineEdit->text().toInt(&ok, 10);
            if (!ok || n < nBottom)
                strReplace = QString::number(nBottom);
        } else if (nMode == 2) {
            bool ok = false;
            const double d = pLineEdit->text().trimmed().remove(QLatin1Char('%')).toDouble(&ok);
            // Written so that "nan" counts as outside the range too.
            if (ok && !(d >= dBottom && d <= dTop))
                strReplace = QString::number(dReset, 'g', 6);
        }
        if (!strReplace.isEmpty()) {
            // setText runs the owner's textChanged handlers, which may install
            // a new validator on this field and so delete this one.
            const QPointer<Validator> self(this);
            pLineEdit->setText(strReplace);
            if (!self)
                return false;
            ShowTip(nMode == 1 ? WholeTip() : DecimalTip());
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}

void Validator::ShowTip(const QString& text) const
{
    if (pLineEdit)
        QToolTip::showText(pLineEdit->mapToGlobal(QPoint(0, 8)), text, nullptr, QRect(), -1);
}

void Validator::HideTip() const
{
    // Without a field of its own it leaves other tips alone too.
    if (pLineEdit)
        QToolTip::hideText();
}

QString Validator::WholeTip() const
{
    return CTranslator::GetInstance()
        ->GetWording(QStringLiteral("Input range %1 to %2"))
        .arg(QString::number(nBottom), QString::number(nTop));
}

QString Validator::DecimalTip() const
{
    return CTranslator::GetInstance()
        ->GetWording(QStringLiteral("Input range %1 to %2 ,%3 decimal places"))
        .arg(QString::number(bottom(), 'g', QLocale::FloatingPointShortest),
             QString::number(top(), 'g', QLocale::FloatingPointShortest), QString::number(decimals()));
}
