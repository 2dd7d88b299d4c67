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
    // One sheet as it always was; several as a layer (a page) each, every
    // one in its own sheet's frame.
    QByteArray (*write)(const QVector<Outlines>& sheets);
    bool bPages; // several sheets are pages of one file, never files of their own
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
// The sheets (empty ones left out) in the format the path's extension names,
// each sheet's outlines in the order the laser cuts them (CutOrder.h):
// one file with a layer or page per sheet, or with bFilePerSheet a file each
// beside path, its name ending in its number from 1 ("box-1.svg"). One
// sheet is always the file path names. The files written go to *pWritten;
// each is written whole, and the first that fails stops the export. Then
// the files an earlier export left under this name (numbered, or the one
// sheet path names) are removed, so that a folder never holds the sheets
// of two nests.
bool ExportSheets(const QVector<Outlines>& sheets, const QString& path, bool bFilePerSheet, QStringList* pWritten,
                  QString* pError);
// The files ExportSheets would write; empty when it would refuse.
QStringList ExportFiles(const QVector<Outlines>& sheets, const QString& path, bool bFilePerSheet);
// Numbered files beside path ("box-3.svg"), and path itself, that are not
// among written: what ExportSheets removes once the new ones are written.
QStringList StaleSheetFiles(const QString& path, const QStringList& written);
QString SheetFileName(const QString& path, int nNumber);
