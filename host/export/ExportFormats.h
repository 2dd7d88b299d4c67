// The formats the sheet can be exported to, in one list that the menus, the
// file dialog's filters, --help and the headless run all read: adding a
// format is one entry, and no suffix can fall into another's writer.
#pragma once

#include "Outline.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ExportFormat
{
    const char* pszSuffix;  // "svg"
    const char* pszLabelKey; // translator key of its file-dialog filter ("SVG drawing")
    QByteArray (*write)(const Outlines& outlines);
};

// Every format, in menu order.
const QVector<ExportFormat>& ExportFormats();
// The format a path's extension names (any case); null when none does.
const ExportFormat* FormatOf(const QString& path);
QStringList ExportSuffixes(); // "svg", "dxf", "pdf"

// The blank border round the parts in every exported file.
constexpr double kPartMarginMm = 2.0;

// Writes the outlines in the format the path's extension names, whole or
// not at all; false with a reason.
bool ExportOutlines(const Outlines& outlines, const QString& path, QString* pError);
