#include "Parameters.h"

#include "HostEngine.h"
#include "ParameterTable.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDoubleValidator>
#include <QFontComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QToolTip>
#include <cmath>

namespace {
using K = ParamKind;

template <typename Record, size_t N>
void AddSpecs(QVector<ParamSpec>& specs, int nGenerator, const ParameterTable::Row<Record> (&rows)[N])
{
    static_assert(int(ParameterTable::Kind::Font) == int(ParamKind::Font), "one list of kinds");
    for (const auto& row : rows)
        if (row.pszSet)
            specs.append({nGenerator, row.pszSet, ParamKind(row.kind), QString::fromLatin1(row.pszWidget), row.pszHelp});
}

const QVector<ParamSpec>& AllParameters()
{
    static const QVector<ParamSpec> all = [] {
        QVector<ParamSpec> specs;
        AddSpecs(specs, GenRectBox, ParameterTable::kRectBox);
        AddSpecs(specs, GenFilletBox, ParameterTable::kFilletBox);
        AddSpecs(specs, GenGear, ParameterTable::kGearBox);
        AddSpecs(specs, GenSeal, ParameterTable::kSealHead);
        AddSpecs(specs, GenSeal, ParameterTable::kSealLines);
        return specs;
    }();
    return all;
}

// A record's values under their --set names.
template <typename Record, size_t N>
void AddValues(QJsonObject& values, Record record, const ParameterTable::Row<Record> (&rows)[N])
{
    for (const auto& row : rows) {
        if (!row.pszSet)
            continue;
        const QString name = QLatin1String(row.pszSet);
        if (row.pNumber)
            values.insert(name, row.pNumber(record));
        else if (row.pFlag)
            values.insert(name, int(row.pFlag(record)));
        else if (row.pCount)
            values.insert(name, row.pCount(record));
        else if (row.pText)
            values.insert(name, QString::fromUtf8(row.pText(record), int(qstrnlen(row.pText(record), size_t(row.nTextSize)))));
    }
}

QString UnitOf(const ParamSpec& spec, bool bInch)
{
    return spec.kind == K::Length ? QLatin1String(bInch ? " in" : " mm") : QString();
}

QList<QPair<QString, QString>> Choices(const ParamSpec& spec)
{
    return ParameterTable::ChoiceButtons(spec.strWidget);
}

QString ChoiceValues(const ParamSpec& spec)
{
    QStringList values;
    for (const auto& choice : Choices(spec))
        values << choice.first;
    return values.join(QLatin1String(" or "));
}

// yes/no words as 1 and 0; anything else as it is.
QString Normalised(const QString& value)
{
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("true") || v == QLatin1String("on"))
        return QStringLiteral("1");
    if (v == QLatin1String("no") || v == QLatin1String("false") || v == QLatin1String("off"))
        return QStringLiteral("0");
    return v;
}

void SendKey(QWidget* pTarget, int nKey, const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, nKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(pTarget, &press);
    QCoreApplication::sendEvent(pTarget, &release);
}

// Replaces the field's text key by key; the field's validator sees every
// keystroke and may refuse it.
void Type(QWidget* pTarget, const QString& text)
{
    if (text.isEmpty())
        SendKey(pTarget, Qt::Key_Backspace);
    for (int i = 0; i < text.size(); ++i) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        const char16_t c = ch.at(0).unicode();
        SendKey(pTarget, c < 0x80 ? QChar(c).toUpper().unicode() : 0, ch);
        i += n - 1;
    }
}

QString Range(double dMin, double dMax, int nDecimals, const QString& unit)
{
    QString range = QStringLiteral("range %1 to %2%3").arg(QString::number(dMin, 'f', nDecimals),
                                                     QString::number(dMax, 'f', nDecimals), unit);
    if (nDecimals > 0)
        range += QStringLiteral(", %1 decimals").arg(nDecimals);
    return range;
}

bool Same(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b));
}

// A spin box: select all, type, Return. It took the value when all
// keystrokes stayed and the box then holds that number.
bool ApplySpin(QAbstractSpinBox* pSpin, const QString& value, const QString& unit, QString* pRange)
{
    QLineEdit* pEdit = pSpin->findChild<QLineEdit*>();
    pSpin->selectAll();
    Type(pSpin, value);
    const bool typed = pEdit && pEdit->text() == value;
    SendKey(pSpin, Qt::Key_Return);
    bool isNumber = false;
    const double wanted = value.toDouble(&isNumber);
    if (auto* pDouble = qobject_cast<QDoubleSpinBox*>(pSpin)) {
        *pRange = Range(pDouble->minimum(), pDouble->maximum(), pDouble->decimals(), unit);
        return typed && isNumber && Same(pDouble->value(), wanted);
    }
    auto* pInt = qobject_cast<QSpinBox*>(pSpin);
    *pRange = pInt ? Range(pInt->minimum(), pInt->maximum(), 0, unit) : QString();
    return pInt && typed && isNumber && pInt->value() == wanted;
}

// A number field: the dialog's validator shows its range as a tip when it
// holds a keystroke back; the field must end up acceptable.
bool ApplyField(QLineEdit* pEdit, const QString& value, const QString& unit, QString* pRange)
{
    QToolTip::hideText();
    pEdit->selectAll();
    Type(pEdit, value);
    const bool typed = pEdit->text() == value;
    const bool acceptable = pEdit->hasAcceptableInput();
    if (QToolTip::isVisible()) {
        *pRange = QStringLiteral("the dialog's tip: %1").arg(QToolTip::text());
        // The tip gives only the range; which key it held back tells why 1.5 is refused.
        const QString held = pEdit->text();
        if (!typed && value.startsWith(held))
            *pRange += QStringLiteral("; after \"%1\" it held back \"%2\"").arg(held, value.mid(held.size(), 1));
    } else if (const auto* pValidator = qobject_cast<const QDoubleValidator*>(pEdit->validator());
               pValidator && std::isfinite(pValidator->bottom()) && std::isfinite(pValidator->top()))
        *pRange = Range(pValidator->bottom(), pValidator->top(), pValidator->decimals(), unit);
    if (!typed || !acceptable)
        return false;
    SendKey(pEdit, Qt::Key_Return);
    return true;
}

bool ApplyText(QLineEdit* pEdit, const QString& value, QString* pRange)
{
    *pRange = QStringLiteral("at most %1 characters").arg(pEdit->maxLength());
    pEdit->selectAll();
    Type(pEdit, value);
    if (pEdit->text() != value)
        return false;
    SendKey(pEdit, Qt::Key_Return);
    return true;
}

bool ApplyFont(QFontComboBox* pCombo, const QString& value, QString* pRange)
{
    const int example = std::max(0, pCombo->findText(QStringLiteral("DejaVu Sans")));
    *pRange = QStringLiteral("a font family of the dialog's list, such as \"%1\"").arg(pCombo->itemText(example));
    const int index = pCombo->findText(value, Qt::MatchFixedString);
    if (index < 0)
        return false;
    pCombo->setCurrentIndex(index);
    return true;
}

// Check boxes and radio buttons are clicked, never set.
bool Click(QAbstractButton* pButton, bool bChecked)
{
    if (pButton->isChecked() != bChecked)
        pButton->click();
    return pButton->isChecked() == bChecked;
}
} // namespace

QVector<ParamSpec> ParametersOf(int nGenerator)
{
    QVector<ParamSpec> specs;
    for (const ParamSpec& spec : AllParameters())
        if (spec.nGenerator == nGenerator)
            specs.append(spec);
    return specs;
}

const ParamSpec* FindParameter(int nGenerator, const QString& name)
{
    for (const ParamSpec& spec : AllParameters())
        if (spec.nGenerator == nGenerator && name == QLatin1String(spec.pszName))
            return &spec;
    return nullptr;
}

QString ParameterHelp(bool bInch)
{
    QString help = QStringLiteral("\nParameters for --set NAME=VALUE, per --generator (lengths in %1, "
                                  "as the dialog shows them; cfg.ini's ruler unit decides):\n")
                       .arg(QLatin1String(bInch ? "inches" : "millimetres"));
    for (int g = 0; g < GeneratorCount; ++g) {
        help += QStringLiteral("  %1: %2\n").arg(g).arg(QLatin1String(GeneratorName(g)));
        for (const ParamSpec& spec : ParametersOf(g)) {
            QString what = QString::fromLatin1(spec.pszHelp);
            if (spec.kind == K::Length)
                what += QStringLiteral(" (%1)").arg(UnitOf(spec, bInch).trimmed());
            help += QStringLiteral("    %1 %2\n").arg(QString::fromLatin1(spec.pszName), -15).arg(what);
        }
    }
    return help;
}

QJsonObject PartParameters(const HostEngine& engine, int nGenerator)
{
    QJsonObject values;
    switch (nGenerator) {
    case GenRectBox:
        AddValues(values, engine.LastRectBox(), ParameterTable::kRectBox);
        break;
    case GenFilletBox:
        AddValues(values, engine.LastFilletBox(), ParameterTable::kFilletBox);
        break;
    case GenGear:
        AddValues(values, engine.LastGear(), ParameterTable::kGearBox);
        break;
    case GenSeal:
        AddValues(values, engine.LastSeal(), ParameterTable::kSealHead);
        AddValues(values, engine.LastSeal(), ParameterTable::kSealLines);
        break;
    default:
        break;
    }
    return values;
}

QString ParameterProblem(int nGenerator, const QJsonObject& parameters)
{
    for (auto it = parameters.begin(); it != parameters.end(); ++it) {
        const ParamSpec* pSpec = FindParameter(nGenerator, it.key());
        const QJsonValue value = it.value();
        const QString number = value.isDouble() ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest) : QString();
        QString why;
        if (!pSpec)
            why = QStringLiteral("the %1 has no parameter %2").arg(QLatin1String(GeneratorName(nGenerator)), it.key());
        else if (pSpec->kind == K::Text || pSpec->kind == K::Font)
            why = value.isString() ? QString() : QStringLiteral("%1 is not a text").arg(it.key());
        else if (!value.isDouble())
            why = QStringLiteral("%1 is not a number").arg(it.key());
        else if (pSpec->kind == K::Flag && number != QLatin1String("0") && number != QLatin1String("1"))
            why = QStringLiteral("%1 is 1 or 0, not %2").arg(it.key(), number);
        else if (pSpec->kind == K::Choice && !ChoiceValues(*pSpec).split(QStringLiteral(" or ")).contains(number))
            why = QStringLiteral("%1 is %2, not %3").arg(it.key(), ChoiceValues(*pSpec), number);
        if (!why.isEmpty())
            return why;
    }
    return QString();
}

QList<QPair<QString, QString>> SetsFor(int nGenerator, const QJsonObject& parameters, bool bInch)
{
    QList<QPair<QString, QString>> first, then;
    for (const ParamSpec& spec : ParametersOf(nGenerator)) {
        const QJsonValue value = parameters.value(QLatin1String(spec.pszName));
        if (value.isUndefined())
            continue;
        QString text = value.isString() ? value.toString() : QString::number(value.toDouble(), 'g', 10);
        if (spec.kind == K::Length) // as the dialog shows it: two decimals
            text = QString::number(bInch ? value.toDouble() / 25.4 : value.toDouble(), 'f', 2);
        (spec.kind == K::Choice || spec.kind == K::Flag ? first : then).append({QLatin1String(spec.pszName), text});
    }
    return first + then;
}

bool ApplyParameter(QWidget* pDialog, const ParamSpec& spec, const QString& value, bool bInch, QString* pError)
{
    const QString unit = UnitOf(spec, bInch);
    QString range;
    bool taken = false;
    QWidget* pWidget = nullptr;
    if (spec.kind == K::Choice) {
        const QString wanted = Normalised(value);
        range = ChoiceValues(spec);
        for (const auto& choice : Choices(spec)) {
            auto* pButton = pDialog->findChild<QAbstractButton*>(choice.second);
            pWidget = pButton;
            if (choice.first == wanted) {
                taken = pButton && pButton->isEnabled() && Click(pButton, true);
                break;
            }
        }
    } else {
        pWidget = pDialog->findChild<QWidget*>(spec.strWidget);
        if (pWidget && pWidget->isEnabled()) {
            if (auto* pSpin = qobject_cast<QAbstractSpinBox*>(pWidget))
                taken = ApplySpin(pSpin, value.trimmed(), unit, &range);
            else if (auto* pCheck = qobject_cast<QCheckBox*>(pWidget)) {
                const QString wanted = Normalised(value);
                range = QStringLiteral("1 or 0");
                taken = (wanted == QLatin1String("1") || wanted == QLatin1String("0"))
                    && Click(pCheck, wanted == QLatin1String("1"));
            } else if (auto* pCombo = qobject_cast<QFontComboBox*>(pWidget))
                taken = ApplyFont(pCombo, value.trimmed(), &range);
            else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
                taken = spec.kind == K::Text ? ApplyText(pEdit, value, &range)
                                             : ApplyField(pEdit, value.trimmed(), unit, &range);
        }
    }
    if (taken)
        return true;
    if (pError)
        *pError = !pWidget ? QStringLiteral("--set %1: the dialog has no such field (module too old or too new?)")
                                 .arg(QLatin1String(spec.pszName))
                           : QStringLiteral("--set %1=%2 was refused by the dialog (%1: %3)")
                                 .arg(QLatin1String(spec.pszName), value, range);
    return false;
}
