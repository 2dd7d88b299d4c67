#include "Parameters.h"

#include "HostEngine.h"

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

// One row per parameter, in the order the dialog shows them. A row may serve
// several generators; "%1" in a widget's name is the generator's prefix.
struct Row
{
    int nGenerators; // bit g: generator g has it
    const char* pszName;
    ParamKind kind;
    const char* pszWidget;
    const char* pszHelp;
};
constexpr int kRect = 1 << GenRectBox, kFillet = 1 << GenFilletBox, kBoxes = kRect | kFillet;
constexpr int kGear = 1 << GenGear, kSeal = 1 << GenSeal;
const char* const kPrefixes[GeneratorCount] = {"rect", "fillet", "gear", "seal"};

const Row kRows[] = {
    {kBoxes, "length", K::Length, "spinBox_%1Length", "box length"},
    {kBoxes, "width", K::Length, "spinBox_%1Width", "box width"},
    {kBoxes, "height", K::Length, "spinBox_%1Height", "box height"},
    {kBoxes, "length-groove", K::Length, "doubleSpinBox_%1FluteLength",
     "finger size along the length (a new length resets it)"},
    {kBoxes, "width-groove", K::Length, "doubleSpinBox_%1FluteWidth",
     "finger size along the width (a new width resets it)"},
    {kRect, "height-groove", K::Length, "doubleSpinBox_rectFluteHeight",
     "finger size along the height (a new height resets it)"},
    {kBoxes, "thickness", K::Length, "doubleSpinBox_%1Thickness", "board thickness"},
    {kBoxes, "kerf", K::Length, "doubleSpinBox_%1LaserWidth", "laser kerf"},
    {kBoxes, "inside", K::Choice, "1=radioButton_%1Inside,0=radioButton_%1Outside",
     "1: sizes are inside measures, 0: outside"},
    {kBoxes, "no-top", K::Flag, "checkBox_%1NoTop", "1: leave the top cover out"},
    {kBoxes, "no-bottom", K::Flag, "checkBox_%1NoBottom", "1: leave the bottom out"},
    {kFillet, "no-groove-3", K::Flag, "checkBox_3edgeNoFlute", "1: no fingers on the third (back) side"},
    {kFillet, "preset", K::Choice,
     "25=radioButton_filletSize25,50=radioButton_filletSize50,100=radioButton_filletSize100",
     "corner preset: 25 for boxes of 25-50 mm, 50 for 50-100, 100 for 100-200"},
    {kFillet, "radius", K::Length, "spinBox_filletCornerRadius", "corner radius"},
    {kFillet, "x-spacing", K::Length, "doubleSpinBox_filletCornerXSpace", "hinge slit columns apart"},
    {kFillet, "y-spacing", K::Length, "doubleSpinBox_filletCornerYSpace", "hinge bridges"},
    {kFillet, "y-count", K::Number, "spinBox_filletCornerYCount", "hinge slits per column"},

    {kGear, "module", K::Number, "lineEdit_gearModulus", "gear module"},
    {kGear, "teeth1", K::Number, "lineEdit_gearCount1", "teeth of gear 1"},
    {kGear, "bore1", K::Length, "lineEdit_gearDiameter1", "bore diameter of gear 1"},
    {kGear, "teeth2", K::Number, "lineEdit_gearCount2", "teeth of gear 2"},
    {kGear, "bore2", K::Length, "lineEdit_gearDiameter2", "bore diameter of gear 2"},

    {kSeal, "seal", K::Choice, "1=radioButton_seal,0=radioButton_badge", "1: seal (mirrored for stamping), 0: badge"},
    {kSeal, "diameter", K::Length, "doubleSpinBox_sealD1", "outer rim diameter"},
    {kSeal, "inner", K::Length, "doubleSpinBox_sealD2", "inner diameter"},
    {kSeal, "text1", K::Text, "lineEdit_sealText1", "text along the top"},
    {kSeal, "height1", K::Length, "doubleSpinBox_sealTextHeight1", "text 1 height"},
    {kSeal, "offset1", K::Length, "doubleSpinBox_sealTextOffset1", "text 1 gap from the rim"},
    {kSeal, "spacing1", K::Length, "doubleSpinBox_sealTextDistance1", "text 1 letter spacing"},
    {kSeal, "font1", K::Font, "fontComboBox_sealTextFont1", "text 1 font family"},
    {kSeal, "text2", K::Text, "lineEdit_sealText2", "text along the bottom"},
    {kSeal, "height2", K::Length, "doubleSpinBox_sealTextHeight2", "text 2 height"},
    {kSeal, "offset2", K::Length, "doubleSpinBox_sealTextOffset2", "text 2 gap from the rim"},
    {kSeal, "spacing2", K::Length, "doubleSpinBox_sealTextDistance2", "text 2 letter spacing"},
    {kSeal, "font2", K::Font, "fontComboBox_sealTextFont2", "text 2 font family"},
    {kSeal, "text3", K::Text, "lineEdit_sealText3", "text across the middle"},
    {kSeal, "height3", K::Length, "doubleSpinBox_sealTextHeight3", "text 3 height"},
    {kSeal, "offset3", K::Length, "doubleSpinBox_sealTextOffset3", "text 3 shift down from the centre"},
    {kSeal, "font3", K::Font, "fontComboBox_sealTextFont3", "text 3 font family"},
};

const QVector<ParamSpec>& AllParameters()
{
    static const QVector<ParamSpec> all = [] {
        QVector<ParamSpec> specs;
        for (int g = 0; g < GeneratorCount; ++g)
            for (const Row& row : kRows)
                if (row.nGenerators & (1 << g))
                    specs.append({g, row.pszName, row.kind,
                                  QString::fromLatin1(row.pszWidget)
                                      .replace(QLatin1String("%1"), QLatin1String(kPrefixes[g])),
                                  row.pszHelp});
        return specs;
    }();
    return all;
}

QString UnitOf(const ParamSpec& spec, bool bInch)
{
    return spec.kind == K::Length ? QLatin1String(bInch ? " in" : " mm") : QString();
}

// value=widget pairs of a choice.
QList<QPair<QString, QString>> Choices(const ParamSpec& spec)
{
    QList<QPair<QString, QString>> choices;
    for (const QString& item : spec.strWidget.split(QLatin1Char(','))) {
        const int eq = item.indexOf(QLatin1Char('='));
        choices.append({item.left(eq), item.mid(eq + 1)});
    }
    return choices;
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
    if (QToolTip::isVisible())
        *pRange = QStringLiteral("the dialog's tip: %1").arg(QToolTip::text());
    else if (const auto* pValidator = qobject_cast<const QDoubleValidator*>(pEdit->validator());
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
    const auto box = [](const SRectBoxParam& b, bool bRounded) {
        QJsonObject o{{"length", b.dWidth}, {"width", b.dDepth}, {"height", b.dHeight},
                      {"length-groove", bRounded ? b.dFluteOfHeight : b.dFluteOfWidth},
                      {"width-groove", bRounded ? b.dFluteOfWidth : b.dFluteOfHeight}, {"thickness", b.dThickness},
                      {"kerf", b.dLaserWidth}, {"inside", int(b.bInSize)}, {"no-top", int(b.bNoTop)},
                      {"no-bottom", int(b.bNoBottom)}};
        if (!bRounded)
            o.insert(QStringLiteral("height-groove"), b.dFluteOfDepth);
        return o;
    };
    const auto line = [](QJsonObject& o, int n, const SSealTextParam& t) {
        const QString digit = QString::number(n);
        o.insert(QStringLiteral("text") + digit, QString::fromUtf8(t.Text, int(qstrnlen(t.Text, sizeof t.Text))));
        o.insert(QStringLiteral("font") + digit,
                 QString::fromUtf8(t.Facename, int(qstrnlen(t.Facename, sizeof t.Facename))));
        o.insert(QStringLiteral("height") + digit, t.dHeight);
        o.insert(QStringLiteral("offset") + digit, t.dOffset);
        if (n < 3)
            o.insert(QStringLiteral("spacing") + digit, t.dSpace);
    };
    switch (nGenerator) {
    case GenRectBox:
        return box(engine.LastRectBox(), false);
    case GenFilletBox: {
        const SFilletBoxParam& f = engine.LastFilletBox();
        QJsonObject o = box(f, true);
        o.insert(QStringLiteral("no-groove-3"), int(f.bNoFlute3Edge));
        o.insert(QStringLiteral("radius"), f.sCorner.dRadius);
        o.insert(QStringLiteral("x-spacing"), f.sCorner.dXSpace);
        o.insert(QStringLiteral("y-spacing"), f.sCorner.dYSpace);
        o.insert(QStringLiteral("y-count"), f.sCorner.nYCount);
        return o;
    }
    case GenGear: {
        const SGearBoxParam& g = engine.LastGear();
        return {{"module", g.dModulus}, {"teeth1", g.sGear1.nGCount}, {"bore1", g.sGear1.dCDiameter},
                {"teeth2", g.sGear2.nGCount}, {"bore2", g.sGear2.dCDiameter}};
    }
    case GenSeal: {
        const SSealBoxParam& s = engine.LastSeal();
        QJsonObject o{{"seal", int(s.bTextReverse)}, {"diameter", s.D1}, {"inner", s.D2}};
        line(o, 1, s.sText1), line(o, 2, s.sText2), line(o, 3, s.sText3);
        return o;
    }
    default:
        return {};
    }
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
