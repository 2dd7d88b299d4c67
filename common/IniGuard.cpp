#include "IniGuard.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>
#include <memory>
#include <optional>

namespace {
// Lines and values are cut exactly where Qt's INI reader cuts them; any
// other reading could hide an entry from the guard that Qt still sees.

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int OctValue(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// One logical line from pos: quotes and escaped line ends stretch it over
// several lines, an unquoted ';' ends it, a ';' that starts it makes the
// rest of its line a comment. equals is its first unquoted '=', or -1.
bool NextLine(const QByteArray& data, qsizetype& pos, qsizetype& start, qsizetype& end, qsizetype& equals)
{
    const qsizetype n = data.size();
    bool inQuotes = false;
    equals = -1;
    start = pos;
    while (start < n && IsSpace(data[start]))
        ++start;
    qsizetype i = start;
    while (i < n) {
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && equals == -1)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < n) {
                const char escaped = data[i++];
                if (i < n && ((escaped == '\n' && data[i] == '\r') || (escaped == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < n && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < n && IsSpace(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = end = i;
    return end > start;
}

// Whether any item of the value (unquoted commas make a list) would start
// as a serialised object once Qt has unescaped it. Only an item's first ten
// characters matter, so no more are kept.
bool WouldDeserialise(const QByteArray& data, qsizetype from, qsizetype to)
{
    QString item;
    bool inQuotes = false;
    qsizetype i = from;
    auto add = [&item](char16_t c) {
        if (item.size() < 10)
            item += QChar(c);
    };
    // Other '@' forms are texts, numbers or escapes: Qt writes a text holding
    // a NUL as "@String(...)", and that must read back.
    auto serialised = [&item] {
        return item.startsWith(QLatin1String("@Variant(")) || item.startsWith(QLatin1String("@DateTime("));
    };
    auto skipBlanks = [&] {
        while (i < to && (data[i] == ' ' || data[i] == '\t'))
            ++i;
    };
    skipBlanks();
    while (i < to) {
        const char c = data[i++];
        if (c == '\\') {
            if (i >= to)
                break;
            const char e = data[i++];
            if (QByteArrayView("abfnrtv\"?'\\").contains(e)) {
                add(u'\a'); // a named escape, never an '@'
            } else if (e == 'x') {
                if (i < to && HexValue(data[i]) >= 0) {
                    char16_t value = 0;
                    for (int h; i < to && (h = HexValue(data[i])) >= 0; ++i)
                        value = char16_t((value << 4) + h);
                    add(value);
                }
            } else if (OctValue(e) >= 0) {
                char16_t value = char16_t(OctValue(e));
                for (int o; i < to && (o = OctValue(data[i])) >= 0; ++i)
                    value = char16_t((value << 3) + o);
                add(value);
            } else if ((e == '\n' || e == '\r') && i < to && (data[i] == '\n' || data[i] == '\r') && data[i] != e) {
                ++i; // an escaped line end, as one
            } // any other escaped character is dropped
        } else if (c == '"') {
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            if (serialised())
                return true;
            item.clear();
            skipBlanks();
        } else {
            add(char16_t(uchar(c))); // only an ASCII '@' counts, so bytes will do
        }
    }
    return serialised();
}

// The bytes without the entries Qt would deserialise; nothing when there
// are none, so the file can be read as it is.
std::optional<QByteArray> WithoutSerialisedEntries(const QByteArray& ini)
{
    // Without '@' or an escape nothing can turn into one.
    if (!ini.contains('@') && !ini.contains('\\'))
        return std::nullopt;
    bool bDropped = false;
    QByteArray kept;
    qsizetype copied = 0;
    qsizetype pos = ini.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype start = 0, end = 0, equals = -1;
    while (NextLine(ini, pos, start, end, equals)) {
        if (ini[start] == '[' || equals < 0 || !WouldDeserialise(ini, equals + 1, end))
            continue;
        kept += ini.mid(copied, start - copied);
        copied = end;
        bDropped = true;
    }
    if (!bDropped)
        return std::nullopt;
    return kept + ini.mid(copied);
}

QByteArray ReadAll(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
} // namespace

QString SafeIniToRead(const QString& file)
{
    // A load reads one key at a time: the file is judged once per content.
    static bool s_bJudged = false;
    static QByteArray s_source;
    static std::unique_ptr<QTemporaryFile> s_copy; // null: s_source reads as it is
    const QByteArray ini = ReadAll(file);
    if (!s_bJudged || ini != s_source) {
        const std::optional<QByteArray> safe = WithoutSerialisedEntries(ini);
        std::unique_ptr<QTemporaryFile> copy;
        // A new file each time: QSettings would take a rewritten one of the
        // same size and time for the one it has already read.
        if (safe) {
            copy = std::make_unique<QTemporaryFile>();
            if (!copy->open() || copy->write(*safe) != safe->size() || !copy->flush())
                return QString();
        }
        s_source = ini;
        s_copy = std::move(copy);
        s_bJudged = true;
    }
    return s_copy ? s_copy->fileName() : file;
}

bool CleanIniForWriting(const QString& file)
{
    const std::optional<QByteArray> safe = WithoutSerialisedEntries(ReadAll(file));
    if (!safe)
        return true;
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(*safe) == safe->size() && out.commit();
}
