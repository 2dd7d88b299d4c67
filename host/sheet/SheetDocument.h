// The sheet's document file: a versioned JSON text (see docs/sheet-format.md)
// that keeps each part's parameters beside its outlines, so it opens the same
// with any engine and every part can be made again.
#pragma once

#include "Part.h"
#include "SheetModel.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace SheetDocument {

constexpr int kVersion = 1;
constexpr const char* kSuffix = "kerfmate";

struct Contents
{
    SheetSetup setup;
    QVector<Part> parts;
};

QByteArray Write(const Contents& contents);
// False with a sentence when the text is damaged or from a newer version;
// *pContents is only touched on success.
bool Read(const QByteArray& text, Contents* pContents, QString* pError);
// The same from a file: one that is no regular file, or too large to be a
// sheet, is refused without being read.
bool ReadFile(const QString& path, Contents* pContents, QString* pError);

} // namespace SheetDocument
