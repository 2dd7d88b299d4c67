#include "ModulePath.h"

#include <QCoreApplication>
#include <QDir>

QString ModuleFromProgram()
{
    return QStringLiteral(KERFMATE_MODULE_FROM_PROGRAM);
}

QString DefaultModulePath()
{
    const QString fromEnvironment = qEnvironmentVariable("KERFMATE_MODULE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + ModuleFromProgram());
}
