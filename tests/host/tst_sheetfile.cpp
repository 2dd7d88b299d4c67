// Sheet files as a maker's folder holds them: every key of the format kept
// exactly through open and save, every damaged variant refused with its key
// and reason, every budget at its figure, and the command line's ranges at
// their bounds and one past, in millimetres and inches.
#include "Parameters.h"
#include "SheetDocument.h"

#include <QtTest>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {
QByteArray Golden()
{
    QFile file(QFINDTESTDATA("data/sheet/every-key.kerfmate"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A text of n copies of one piece's outline, or of one part.
QByteArray Repeated(const QByteArray& head, const QByteArray& item, qint64 n, const QByteArray& tail, char between = ',')
{
    QByteArray text = head;
    text.reserve(head.size() + n * (item.size() + 1) + tail.size());
    for (qint64 i = 0; i < n; ++i) {
        if (i)
            text += between;
        text += item;
    }
    return text + tail;
}
// Runs kerfmate-host to its end: the exit code and the most memory it held (KiB).
std::pair<int, long> Measured(const QStringList& args)
{
    QList<QByteArray> bytes{qgetenv("KERFMATE_HOST")};
    for (const QString& arg : args)
        bytes << arg.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& arg : bytes)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return {-1, 0};
    int status = 0;
    rusage usage{};
    return wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) ? std::pair(WEXITSTATUS(status), usage.ru_maxrss)
                                                                       : std::pair(-1, 0L);
}
} // namespace

class TestSheetFile : public QObject
{
    Q_OBJECT

private slots:
    void keptOrRefused_data();
    void keptOrRefused();
    void budgets_data();
    void budgets();
    void notASheetFile_data();
    void notASheetFile();
    void optionsAtTheirBounds_data();
    void optionsAtTheirBounds();
    void placedAsTheFormatSays_data();
    void placedAsTheFormatSays();

private:
    QTemporaryDir m_dir;
};

// Each row changes one value of a file that holds every key with a value
// other than its default: kept, it saves byte for byte as it was read;
// refused, the reader names the key and the reason.
void TestSheetFile::keptOrRefused_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QByteArray>("saved"); // in place of from when saved again, when not to
    const auto row = [](const char* from, const char* to, const char* refusal = "", const char* saved = nullptr) {
        QTest::newRow(refusal[0] ? refusal : saved ? from : to)
            << QByteArray(from) << QByteArray(to) << QString::fromUtf8(refusal) << QByteArray(saved ? saved : to);
    };
    row("", "");
    // At their limits: kept.
    row("\"width\": 1234.5", "\"width\": 10");
    row("\"width\": 1234.5", "\"width\": 100000");
    row("\"margin\": 7.5", "\"margin\": 0");
    row("\"margin\": 7.5", "\"margin\": 100");
    row("\"spacing\": 0.25", "\"spacing\": 100");
    row("\"turn\": 15", "\"turn\": 360");
    row("\"turn\": 15", "\"turn\": 1");
    row("\"turn\": 15", "\"turn\": 0");
    row("\"id\": 3,", "\"id\": 1000000000,");
    row("\"rotation\": 270", "\"rotation\": 0");
    row("\"rotation\": 270", "\"rotation\": 359.99999999999994");
    row("\"sheet\": 2", "\"sheet\": 999");
    row("-12.5,", "-1000000,");
    row("L40 30", "L1e+06 -1e+06");
    // One past, or of another kind: refused.
    row("\"generator\": 1", "\"generator\": 3,\n \"x\": 0", "parts[0].x: not a key of the format");
    row("\"format\": \"kerfmate-sheet\"", "\"format\": \"kerfmate-sheets\"", "format: \"kerfmate-sheets\" is not \"kerfmate-sheet\"");
    row("\"format\": \"kerfmate-sheet\"", "\"format\": 1", "format: not a text");
    row("\"format\": \"kerfmate-sheet\",", "", "format: missing");
    row("\"version\": 1", "\"version\": 1, \"colour\": 2", "colour: not a key of the format");
    row("\"version\": 1", "\"version\": 2", "version: 2: made by a newer kerfmate-host (this one reads 1)");
    row("\"version\": 1", "\"version\": 1e308", "version: 1e+308: made by a newer kerfmate-host (this one reads 1)");
    row("\"version\": 1", "\"version\": 1.5", "version: 1.5 is not a whole number");
    row("\"version\": 1", "\"version\": 0", "version: 0 is below 1");
    row("\"version\": 1", "\"version\": \"1\"", "version: not a number");
    row("\"width\": 1234.5", "\"width\": 9.99", "sheet.width: 9.99 is outside 10 to 100000");
    row("\"height\": 777.25", "\"height\": 100000.1", "sheet.height: 100000.1 is outside 10 to 100000");
    row("\"height\": 777.25,", "", "sheet.height: missing");
    row("\"margin\": 7.5", "\"margin\": 100.5", "sheet.margin: 100.5 is outside 0 to 100");
    row("\"spacing\": 0.25", "\"spacing\": -0.5", "sheet.spacing: -0.5 is outside 0 to 100");
    row("\"turn\": 15", "\"turn\": 7", "sheet.turn: 7 does not divide 360");
    row("\"turn\": 15", "\"turn\": 22.5", "sheet.turn: 22.5 is not a whole number");
    row("\"turn\": 15", "\"turn\": 720", "sheet.turn: 720 is outside 0 to 360");
    row("\"freeTurns\": true", "\"freeTurns\": 1", "sheet.freeTurns: not true or false");
    row("\"roll\": true", "\"roll\": \"yes\"", "sheet.roll: not true or false");
    row("\"freeTurns\": true", "\"freeTurns\": true, \"grain\": 0", "sheet.grain: not a key of the format");
    row("\"id\": 3,", "\"id\": 0,", "parts[0].id: 0 is outside 1 to 1000000000");
    row("\"id\": 3,", "\"id\": 1.5,", "parts[0].id: 1.5 is not a whole number");
    row("\"id\": 3,", "\"id\": 7,", "parts[1].id: 7 is there twice");
    row("\"name\": \"Rounded box\"", "\"name\": 7", "parts[0].name: not a text");
    row("\"generator\": 1", "\"generator\": 0.5", "parts[0].generator: 0.5 is not a whole number");
    row("\"generator\": 1", "\"generator\": 4", "parts[0].generator: 4 is outside -1 to 3");
    row("\"generator\": 1", "\"generator\": 2", "parts[0].parameters: the Modular gear has no parameter height");
    row("\"generator\": -1", "\"generator\": 0", "");
    row("\"generator\": 1", "\"generator\": -1", "parts[0].parameters: a part of no generator has none");
    row("\"height\": 60.5", "\"height\": \"60.5\"", "parts[0].parameters: height is not a number");
    row("\"inside\": 1", "\"inside\": 2", "parts[0].parameters: inside is 1 or 0, not 2");
    row("\"no-top\": 1", "\"no-top\": 0.5", "parts[0].parameters: no-top is 1 or 0, not 0.5");
    row("\"preset\": 100", "\"preset\": 30", "parts[0].parameters: preset is 25 or 50 or 100, not 30");
    row("\"parameters\": {\n            },", "\"parameters\": [],", "parts[1].parameters: not an object of parameters");
    row("-12.5,", "-1000000.5,", "parts[0].position[0]: -1000000.5 is outside -1000000 to 1000000");
    row("300.25", "300.25, 1", "parts[0].position: not a pair of numbers");
    row("0.2\n", "\"0.2\"\n", "parts[1].position[1]: not a number");
    row("\"rotation\": 270", "\"rotation\": -90", "parts[0].rotation: -90 is outside 0 to 360");
    row("\"rotation\": 270", "\"rotation\": 360", "parts[0].rotation: 360 is written as 0");
    row("\"mirrored\": true", "\"mirrored\": 1", "parts[0].mirrored: not true or false");
    row("\"grouped\": false", "\"grouped\": null", "parts[0].grouped: not true or false");
    row("\"pinned\": true", "\"pinned\": \"yes\"", "parts[0].pinned: not true or false");
    row("\"sheet\": 2", "\"sheet\": 1000", "parts[0].sheet: 1000 is outside 0 to 999");
    row("\"sheet\": 2", "\"sheet\": 1.5", "parts[0].sheet: 1.5 is not a whole number");
    row("\"source\": 9", "\"source\": 0", "parts[0].source: 0 is outside 1 to 1000000000");
    row("\"piece\": 0", "\"piece\": 5000", "parts[0].piece: 5000 is outside 0 to 4999");
    row("\"piece\": 0,", "", "parts[0].piece: missing: a piece has both its source and its place");
    // Left out: read as the default, and saved with it.
    row("\"pinned\": false,", "", "", "\"pinned\": false,");
    row("\"margin\": 7.5,", "", "", "\"margin\": 5,");
    row("\"spacing\": 0.25,", "", "", "\"spacing\": 2,");
    row("\"turn\": 15,", "", "", "\"turn\": 90,");
    row("\"freeTurns\": true,", "", "", "\"freeTurns\": false,");
    row("\"roll\": true,", "", "", "\"roll\": false,");
    row("\"rotation\": 0.5,", "", "parts[1].rotation: missing");
    row("\"layer\": \"engrave\"", "\"layer\": \"mark\"", "parts[0].pieces[0][1].layer: \"mark\" is neither \"cut\" nor \"engrave\"");
    row("\"layer\": \"engrave\",", "\"layer\": \"cut\", \"power\": 50,", "parts[0].pieces[0][1].power: not a key of the format");
    row("\"path\": \"M2 2 C3 4 5 4 6 2\"", "\"path\": 7", "parts[0].pieces[0][1].path: not a text");
    // Paths: M, then lines and curves, then Z or none.
    const auto path = [&row](const char* to, const char* refusal) {
        row("M2 2 C3 4 5 4 6 2", to, refusal);
    };
    path("M2 2 L3 4 Z M5 5 C1 2 3 4 5 6", "");
    path("L3 4", "parts[0].pieces[0][1].path: it does not start with M");
    path("", "parts[0].pieces[0][1].path: it is empty");
    path("M2 2", "parts[0].pieces[0][1].path: a subpath has no line or curve");
    path("M2 2 L3 4 M5 5", "parts[0].pieces[0][1].path: a subpath has no line or curve");
    path("M2 2 Z", "parts[0].pieces[0][1].path: a subpath has no line or curve");
    path("M2 2 L3 4 Z L5 5", "parts[0].pieces[0][1].path: Z is followed by L, not M");
    path("M2 2 L3 4 5", "parts[0].pieces[0][1].path: L takes 2 numbers, not more");
    path("M2 2 C3 4 5 4 6", "parts[0].pieces[0][1].path: C takes 6 numbers, not 5");
    path("M2 2 L3 1e150", "parts[0].pieces[0][1].path: 1e150 is outside -1000000 to 1000000");
    path("M2 2 L3 x", "parts[0].pieces[0][1].path: \"x\" is no number");
    path("M2 2 l3 4", "parts[0].pieces[0][1].path: \"l3 4\" is no number");
    // What the path would not keep as written, so could not save back the same.
    path("M2 2 L2 2.0000000000001 L3 4", "parts[0].pieces[0][1].path: L 2 2 goes nowhere from the point before");
    path("M2 2 L3 4 L2 2", "parts[0].pieces[0][1].path: a subpath ends at its start without Z");
    path("M2 2 L3 4 L2 2 Z", "parts[0].pieces[0][1].path: Z follows a line back to the start");
    row("\"parts\": [", "\"parts\": [\n 7,", "parts[0]: not a part");
    row("\"pieces\": [\n                [\n                    {\n                        \"layer\": \"cut\",\n                        \"path\": \"M0 0 L1e-05",
        "\"pieces\": [\n                [\n                ],\n                [\n                    {\n                        \"layer\": \"cut\",\n                        \"path\": \"M0 0 L1e-05",
        "parts[1].pieces[0]: not a list of outlines");
    row("\"pieces\": [\n                [\n                    {\n                        \"layer\": \"cut\",\n                        \"path\": \"M0 0 L1e-05 0 L0.30000000000000004 2 Z\"\n                    }\n                ]\n            ],",
        "\"pieces\": [\n            ],", "parts[1].pieces: not a list of pieces");
    row("\"id\": 7,", "\"id\": 7, \"id\": 8,", "id: there twice in one object");
    row("\"version\": 1\n", "\"version\": 1,\n", "it is not a JSON text (object is missing after a comma at byte 2369)");
    row("\"version\": 1\n}", "\"version\": 1\n", "it is not a JSON text (unterminated object at its end)");
}

void TestSheetFile::keptOrRefused()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, saved);
    QByteArray text = Golden();
    QVERIFY(from.isEmpty() ? !text.isEmpty() : text.count(from) == 1);
    text.replace(from, to);
    SheetDocument::Contents contents;
    QString why;
    const bool kept = SheetDocument::Read(text, &contents, &why, ParameterProblem);
    QCOMPARE(why, refusal);
    QCOMPARE(kept, refusal.isEmpty());
    if (kept)
        QCOMPARE(SheetDocument::Write(contents), Golden().replace(from, saved));
}

// Each budget at its figure is read; one past it the file is refused, before
// anything of that size is built.
void TestSheetFile::budgets_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("refusal");
    const auto rows = [](const char* what, qint64 most, const char* refusal) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(most).arg(what))) << what << most << QString();
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(most + 1).arg(what))) << what << most + 1 << refusal;
    };
    rows("parts", SheetDocument::kMostParts, "parts: 5001 parts, more than the 5000 a file may hold");
    rows("outlines", SheetDocument::kMostOutlines, "parts[0].pieces[0][100000]: more than 100000 outlines in one file");
    rows("points", SheetDocument::kMostPoints, "parts[0].pieces[0][0].path: more than 1000000 points in one file");
    QTest::newRow("4000001 values") << "values" << SheetDocument::kMostValues + 1 << "it holds more than 4000000 values";
}

void TestSheetFile::budgets()
{
    QFETCH(QString, what);
    QFETCH(qint64, count);
    QFETCH(QString, refusal);
    const QByteArray head = "{\"format\": \"kerfmate-sheet\", \"version\": 1, \"sheet\": {\"width\": 600, \"height\": 400}, \"parts\": [";
    const QByteArray outline = "{\"layer\": \"cut\", \"path\": \"M0 0 L1 0 L1 1 Z\"}";
    const auto part = [](const QByteArray& outlines) {
        return "{\"id\": ID, \"name\": \"\", \"generator\": -1, \"parameters\": {}, \"position\": [0, 0], \"rotation\": 0, "
               "\"mirrored\": false, \"grouped\": true, \"pieces\": [[" + outlines + "]]}";
    };
    QByteArray text;
    if (what == QLatin1String("parts")) {
        text = Repeated(head, part(outline), count, "]}");
        for (qint64 id = 1, at = 0; (at = text.indexOf("ID", at)) >= 0; ++id)
            text.replace(at, 2, QByteArray::number(id));
    } else if (what == QLatin1String("outlines")) {
        text = head + part(Repeated({}, outline, count, {})).replace("ID", "1") + "]}";
    } else if (what == QLatin1String("points")) { // each M or L one, each C three
        const QByteArray path = Repeated("M0 0 ", "L1 1 L0 0", (count - 4) / 2, (count - 4) % 2 ? " L1 1 C1 2 3 4 5 6" : " C1 2 3 4 5 6", ' ');
        text = head + part("{\"layer\": \"cut\", \"path\": \"" + path + "\"}").replace("ID", "1") + "]}";
    } else {
        text = Repeated("[", "0", count - 1, "]");
    }
    if (!refusal.isEmpty()) {
        QString why;
        SheetDocument::Contents contents;
        QVERIFY(!SheetDocument::Read(text, &contents, &why, ParameterProblem));
        QCOMPARE(why, refusal);
        return;
    }
    // A sheet grown past a budget is never saved where it could not be opened.
    SheetDocument::Contents contents;
    QByteArray saved;
    QString why;
    QVERIFY(SheetDocument::Read(text, &contents, nullptr) && SheetDocument::Saved(contents, &saved, &why));
    if (what == QLatin1String("parts")) {
        contents.parts << contents.parts.last();
        contents.parts.last().nId = SheetDocument::kMostParts + 1;
        QVERIFY(!SheetDocument::Saved(contents, &saved, &why) && saved.isEmpty());
        QCOMPARE(why, QStringLiteral("the sheet could not be opened again (parts: 5001 parts, more than the 5000 a file may hold)"));
    }
    // Opened and saved again by the program in memory that grows with the
    // file: 16 times its size, 1 KiB for each outline (a path's least) and
    // 32 bytes for each point (held twice while the save is checked).
    const QString in = m_dir.filePath("budget.kerfmate"), out = m_dir.filePath("budget-saved.kerfmate");
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    const auto [code, peakKiB] = Measured({"--open", in, "--save", out});
    QCOMPARE(code, 0);
    const long outlines = what == QLatin1String("points") ? 1 : long(count);
    const long allowed = 64 * 1024 + 16 * long(text.size() / 1024) + outlines + (what == QLatin1String("points") ? long(count) / 32 : 0);
#if defined(__SANITIZE_ADDRESS__)
    return; // the address checker's shadow memory is no part of the budget
#endif
    QVERIFY2(peakKiB <= allowed, qPrintable(QStringLiteral("%1 KiB, %2 allowed").arg(peakKiB).arg(allowed)));
}

// What is no sheet file at all is refused without being read.
void TestSheetFile::notASheetFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal");
    const QString fifo = m_dir.filePath("fifo"), large = m_dir.filePath("large.kerfmate"), limit = m_dir.filePath("limit.kerfmate");
    QVERIFY(mkfifo(qPrintable(fifo), 0600) == 0);
    for (const auto& [file, size] : {std::pair(large, SheetDocument::kMostBytes + 1), std::pair(limit, SheetDocument::kMostBytes)}) {
        QFile sparse(file);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(size));
    }
    QTest::newRow("FIFO") << fifo << "it is not a regular file (a device, a FIFO or a socket)";
    QTest::newRow("device") << "/dev/zero" << "it is not a regular file (a device, a FIFO or a socket)";
    QTest::newRow("folder") << m_dir.path() << "it is a folder";
    QTest::newRow("missing") << m_dir.filePath("none.kerfmate") << "there is no such file";
    QTest::newRow("one byte past 64 MiB") << large << "it is 64.0 MiB, more than the 64 MiB it may be";
    QTest::newRow("64 MiB of nothing") << limit << "it is not a JSON text (illegal value at byte 1)";
}

void TestSheetFile::notASheetFile()
{
    QFETCH(QString, path);
    QFETCH(QString, refusal);
    SheetDocument::Contents contents;
    QString why;
    QVERIFY(!SheetDocument::ReadFile(path, &contents, &why));
    QCOMPARE(why, refusal);
}

// Every option with a range, at each end and one past, through the whole
// program: what it takes lands in the saved sheet; what it refuses stops the
// run before anything is written.
void TestSheetFile::optionsAtTheirBounds_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outcome"); // the saved board, or the line that says why
    const auto row = [](const QStringList& args, int code, const char* outcome) {
        QTest::newRow(qPrintable(args.join(' '))) << args << code << QString::fromUtf8(outcome);
    };
    const char* sheet = "--sheet takes WIDTHxLENGTH from 10x10 to 100000x100000 mm (a length of 0: a roll of that width), not ";
    row({"--sheet", "10x100000"}, 0, "10x100000 margin 7.5 spacing 0.25 turn 15");
    row({"--sheet", "9.99x400"}, 2, sheet);
    row({"--sheet", "600x100000.01"}, 2, sheet);
    row({"--sheet", "0.3938x3937in"}, 0, "10.0025x99999.8 margin 7.5 spacing 0.25 turn 15");
    row({"--sheet", "0.3937x400in"}, 2, sheet);
    row({"--sheet", "24x3937.008in"}, 2, sheet);
    row({"--sheet", "600x-400"}, 2, sheet);
    row({"--margin", "0", "--spacing", "100"}, 0, "1234.5x777.25 margin 0 spacing 100 turn 15");
    row({"--margin", "100", "--spacing", "0"}, 0, "1234.5x777.25 margin 100 spacing 0 turn 15");
    row({"--margin", "100.01"}, 2, "--margin takes 0 to 100 mm, not 100.01");
    row({"--margin", "-0.01"}, 2, "--margin takes 0 to 100 mm, not -0.01");
    row({"--spacing", "100.01"}, 2, "--spacing takes 0 to 100 mm, not 100.01");
    row({"--spacing", "-0.01"}, 2, "--spacing takes 0 to 100 mm, not -0.01");
    row({"--turn", "0"}, 0, "1234.5x777.25 margin 7.5 spacing 0.25 turn 0");
    row({"--turn", "1"}, 0, "1234.5x777.25 margin 7.5 spacing 0.25 turn 1");
    row({"--turn", "360"}, 0, "1234.5x777.25 margin 7.5 spacing 0.25 turn 360");
    row({"--turn", "361"}, 2, "--turn takes 0 or a whole number of degrees that divides 360, not 361");
    row({"--turn", "7"}, 2, "--turn takes 0 or a whole number of degrees that divides 360, not 7");
    row({"--turn", "-90"}, 2, "--turn takes 0 or a whole number of degrees that divides 360, not -90");
    row({"--turn", "ninety"}, 2, "--turn takes 0 or a whole number of degrees that divides 360, not ninety");
    row({"--nest-rounds", "0"}, 2, "--nest-rounds takes a whole number from 1, not 0");
    row({"--generator", "-1"}, 2, "--generator takes 0, 1, 2 or 3");
    row({"--save", ""}, 2, "--save takes a file name, not an empty one");
    row({"--open", ""}, 2, "--open takes a file name, not an empty one");
    row({"--log", ""}, 2, "--log takes a file name, not an empty one");
    row({"--log", "/dev/full"}, 2, "--log /dev/full is not a regular file");
    row({"--dxf", "o.svg"}, 2, "--dxf takes a file ending in .dxf, not o.svg (use --out for other formats)");
}

void TestSheetFile::optionsAtTheirBounds()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, outcome);
    const QString in = m_dir.filePath("in.kerfmate"), out = m_dir.filePath("out.kerfmate");
    QFile::remove(out);
    QFile golden(in);
    QVERIFY(golden.open(QIODevice::WriteOnly) && golden.write(Golden()) > 0);
    golden.close();
    QProcess host;
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.setWorkingDirectory(m_dir.path());
    QStringList all = args;
    for (const QString& option : {QStringLiteral("--open"), QStringLiteral("--save")})
        if (!all.contains(option))
            all << option << (option == QLatin1String("--open") ? in : out);
    host.start(qEnvironmentVariable("KERFMATE_HOST"), all);
    QVERIFY(host.waitForFinished(20000));
    const QString said = QString::fromUtf8(host.readAll());
    QVERIFY2(host.exitCode() == exitCode, qPrintable(said));
    SheetDocument::Contents saved;
    if (exitCode) {
        QVERIFY2(said.contains(outcome), qPrintable(said));
        QVERIFY(!QFile::exists(out));
        return;
    }
    QVERIFY(SheetDocument::ReadFile(out, &saved, nullptr, ParameterProblem));
    const SheetSetup& s = saved.setup;
    QCOMPARE(QStringLiteral("%1x%2 margin %3 spacing %4 turn %5").arg(s.size.width()).arg(s.size.height()).arg(s.dMarginMm)
                 .arg(s.dSpacingMm).arg(s.nTurnStep), outcome);
    if (args.size() == 2 && args[0] == QLatin1String("--turn")) { // only the board changed: the rest as it was
        QByteArray text = Golden();
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), text.replace("\"turn\": 15", "\"turn\": " + args[1].toUtf8()));
    }
}

// A part on its sheet, as the format describes it to other programs: about
// the frame's centre, mirrored left to right, then turned clockwise (y down),
// then moved; worked out here by hand for a 10 x 5 triangle at (100, 200).
void TestSheetFile::placedAsTheFormatSays_data()
{
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<QPolygonF>("corners");
    QTest::newRow("as drawn") << false << 0.0 << QPolygonF({{100, 200}, {110, 200}, {100, 205}});
    QTest::newRow("mirrored") << true << 0.0 << QPolygonF({{110, 200}, {100, 200}, {110, 205}});
    QTest::newRow("turned 90") << false << 90.0 << QPolygonF({{107.5, 197.5}, {107.5, 207.5}, {102.5, 197.5}});
    QTest::newRow("mirrored, turned 90") << true << 90.0 << QPolygonF({{107.5, 207.5}, {107.5, 197.5}, {102.5, 207.5}});
    QTest::newRow("turned 180") << false << 180.0 << QPolygonF({{110, 205}, {100, 205}, {110, 200}});
}

void TestSheetFile::placedAsTheFormatSays()
{
    QFETCH(bool, mirrored);
    QFETCH(double, rotation);
    QFETCH(QPolygonF, corners);
    Part part;
    part.nId = 1;
    part.strName = QStringLiteral("T");
    QPainterPath triangle;
    triangle.addPolygon(QPolygonF({{0, 0}, {10, 0}, {0, 5}}));
    part.pieces = {{{triangle, 0}}};
    part.position = QPointF(100, 200);
    part.bMirrored = mirrored, part.dRotation = rotation;
    SheetDocument::Contents read;
    QVERIFY(SheetDocument::Read(SheetDocument::Write({SheetSetup(), {part}}), &read, nullptr));
    const QPainterPath placed = read.parts.value(0).Placed().value(0).path;
    QCOMPARE(placed.elementCount(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(QLineF(placed.elementAt(i), corners[i]).length() < 1e-9,
                 qPrintable(QStringLiteral("corner %1 at %2, %3").arg(i).arg(placed.elementAt(i).x).arg(placed.elementAt(i).y)));
}

QTEST_MAIN(TestSheetFile)
#include "tst_sheetfile.moc"
