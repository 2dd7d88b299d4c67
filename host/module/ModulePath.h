// Where kerfmate-host finds the module when no --module names one.
#pragma once

#include <QString>

// The module's path from the program's own folder; the build tree is laid
// out as an installed prefix, so it holds in both.
QString ModuleFromProgram();
// KERFMATE_MODULE when set, else ModuleFromProgram() from the running
// program's folder. Needs the application object.
QString DefaultModulePath();
