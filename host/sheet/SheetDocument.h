// The sheet's document file: a versioned JSON text (see docs/sheet-format.md)
// that keeps each part's parameters beside its outlines, so it opens the same
// with any engine and every part can be made again.
#pragma once

#include "Part.h"
#include "SheetModel.h"

#include <QByteArray>
#include <QJsonObject>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace SheetDocument {

constexpr int kVersion = 1;
constexpr const char* kSuffix = "kerfmate";

// What one file may hold. Each is far past any real sheet; a file beyond
// one is damage, refused with the figure, so that opening any file takes
// memory and time in proportion to its size.
constexpr qint64 kMostBytes = 64 << 20;
constexpr qint64 kMostValues = 4'000'000; // JSON values: numbers, texts, lists, objects
constexpr int kMostParts = 5'000;
constexpr int kMostSheets = 1'000;
constexpr qint64 kMostOutlines = 100'000;
constexpr qint64 kMostPoints = 1'000'000; // of every path: a line's end is one, a curve three
// Of every coordinate of an outline or a place, in millimetres: the nest
// counts in 1/10,000 mm and holds a sheet of parts at this far in whole units.
constexpr double kMostCoordinateMm = 1e6;

struct Contents
{
    SheetSetup setup;
    QVector<Part> parts;
};

// Whether a generator's saved parameters could be typed into its dialog:
// the key and the reason when not. The sheet knows no generator; the
// program that opens the file says what each one takes.
using ParameterRule = QString (*)(int nGenerator, const QJsonObject& parameters);

QByteArray Write(const Contents& contents);
// The text to save: Write's, read back first, so that no sheet is ever
// saved in a form this program would refuse to open (beyond a budget, say);
// false with the reader's reason when it would.
bool Saved(const Contents& contents, QByteArray* pText, QString* pError, ParameterRule rule = nullptr);
// False with the key and the reason when the text is not a sheet this
// program wrote or could have written; *pContents is only touched on success
// (null: the text is only checked).
bool Read(const QByteArray& text, Contents* pContents, QString* pError, ParameterRule rule = nullptr);
// The same from a file: one that is no regular file, or larger than a
// sheet may be, is refused without being read.
bool ReadFile(const QString& path, Contents* pContents, QString* pError, ParameterRule rule = nullptr);
// The file's bytes when it is a regular file of at most nMostBytes; else
// false with the reason. Every file a maker hands the program is read so.
bool ReadBounded(const QString& path, qint64 nMostBytes, QByteArray* pBytes, QString* pError);

} // namespace SheetDocument
