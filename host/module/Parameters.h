// Parameters on the command line: names a user understands, each bound to
// one widget of the module's dialog, set by typing or clicking there as a
// user would, so the dialog's own ranges, validators and clamps decide.
#pragma once

#include <QJsonObject>
#include <QPair>
#include <QString>
#include <QVector>

class HostEngine;
class QWidget;

enum class ParamKind {
    Length, // a number shown in the ruler unit
    Number, // a number without unit
    Flag,   // a check box: 1 or 0
    Choice, // radio buttons: one value each
    Text,
    Font,   // a family from the font list
};

struct ParamSpec
{
    int nGenerator;
    const char* pszName;
    ParamKind kind;
    // The widget's object name; for a choice "value=widget,value=widget".
    QString strWidget;
    const char* pszHelp;
};

// The parameters of one generator, in the order the dialog shows them.
QVector<ParamSpec> ParametersOf(int nGenerator);
const ParamSpec* FindParameter(int nGenerator, const QString& name);

// The --help listing: every generator's parameters, lengths in the unit
// the dialog shows.
QString ParameterHelp(bool bInch);

// What the latest build of a generator was made from, as --set names and
// values (lengths in millimetres): a part keeps them to be made again.
QJsonObject PartParameters(const HostEngine& engine, int nGenerator);
// Whether saved parameters are the generator's, each of its kind (a text,
// a number, a flag 1 or 0, one of a choice's values); the reason when not.
QString ParameterProblem(int nGenerator, const QJsonObject& parameters);
// Those parameters as --set pairs in the unit the dialog shows, choices and
// flags first so that the limits they move are in place when sizes are typed.
QList<QPair<QString, QString>> SetsFor(int nGenerator, const QJsonObject& parameters, bool bInch);

// Sets spec's widget in the open dialog to value. False with the reason
// and the range the dialog allows when the dialog does not take it.
bool ApplyParameter(QWidget* pDialog, const ParamSpec& spec, const QString& value, bool bInch, QString* pError);
