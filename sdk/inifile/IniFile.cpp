#include "IniFile.h"

#include "ILog.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {
// ---- The bytes, cut and decoded where and as Qt's reader cuts and decodes
// them: any other reading could let through what Qt still builds.

// What each byte is to the reader: one look-up passes over the bytes that
// end nothing, which are nearly all of them.
enum : uchar { kSpace = 1, kEndsLineRun = 2, kEndsValueRun = 4 };
constexpr std::array<uchar, 256> kTraits = [] {
    std::array<uchar, 256> traits{};
    for (const uchar c : {' ', '\t', '\n', '\r'})
        traits[c] |= kSpace;
    for (const uchar c : {'\n', '\r', '"', ';', '=', '\\'})
        traits[c] |= kEndsLineRun;
    for (const uchar c : {'\\', '"', ','})
        traits[c] |= kEndsValueRun;
    return traits;
}();

bool Is(char c, uchar trait)
{
    return kTraits[uchar(c)] & trait;
}

bool IsSpace(char c)
{
    return Is(c, kSpace);
}

struct Line
{
    qsizetype nStart = 0, nEnd = 0, nEquals = -1;
};

// One logical line from pos: quotes and escaped line ends stretch it over
// several lines, an unquoted ';' ends it, and a ';' that starts it makes the
// rest of its line a comment. nEquals is its first unquoted '=', or -1.
bool NextLine(QByteArrayView data, qsizetype& pos, Line& line)
{
    const qsizetype n = data.size();
    bool inQuotes = false;
    line.nEquals = -1;
    qsizetype start = pos;
    while (start < n && IsSpace(data[start]))
        ++start;
    qsizetype i = start;
    while (i < n) {
        while (i < n && !Is(data[i], kEndsLineRun))
            ++i;
        if (i == n)
            break;
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && line.nEquals < 0)
                line.nEquals = i - 1;
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
    pos = i;
    line.nStart = start;
    line.nEnd = i;
    return i > start;
}

int Digit(char c, int base)
{
    const int d = c >= '0' && c <= '9' ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : base;
    return d < base ? d : -1;
}

// What "\c" stands for; 0 when c names no character.
char NamedEscape(char c)
{
    switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"': case '?': case '\'': case '\\': return c;
    default: return 0;
    }
}

struct Unescaped
{
    QString text;
    QStringList items; // when an unquoted comma makes the value a list
    bool bList = false;
};

Unescaped Unescape(QByteArrayView value)
{
    Unescaped out;
    QString& text = out.text;
    text.reserve(value.size()); // never longer than its bytes
    // One decoder for the whole value, as Qt has it: a byte-order mark is
    // dropped where it is the first thing the decoder sees, even behind
    // quotes, blanks, escapes or an empty first item, and the bytes of a
    // character cut by an escape wait for their rest.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const qsizetype n = value.size();
    qsizetype i = 0;
    qsizetype keep = 0; // blanks before here are part of the text
    bool inQuotes = false, quoted = false, chop = true;
    const auto skipBlanks = [&] {
        while (i < n && (value[i] == ' ' || value[i] == '\t'))
            ++i;
        keep = text.size();
    };
    const auto chopBlanks = [&] {
        qsizetype end = text.size();
        while (!quoted && end > keep && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
            --end;
        text.truncate(end);
    };
    skipBlanks();
    while (i < n) {
        const char c = value[i];
        if (c == '\\') {
            // An escape cut off by the end of the value keeps the blanks before it.
            if (++i == n) {
                chop = false;
                break;
            }
            const char e = value[i++];
            const int base = e == 'x' ? 16 : Digit(e, 8) >= 0 ? 8 : 0;
            if (const char named = NamedEscape(e)) {
                text += QLatin1Char(named);
            } else if (base == 16 && i == n) {
                chop = false;
                break;
            } else if (base == 8 || (base == 16 && Digit(value[i], 16) >= 0)) {
                char16_t code = base == 8 ? char16_t(Digit(e, 8)) : 0;
                for (int d; i < n && (d = Digit(value[i], base)) >= 0; ++i)
                    code = char16_t(code * base + d);
                text += QChar(code);
                if (i == n) {
                    chop = false;
                    break;
                }
            } else if ((e == '\n' || e == '\r') && i < n && (value[i] == '\n' || value[i] == '\r') && value[i] != e) {
                ++i; // an escaped line end, as one
            } // any other escaped character is dropped
            keep = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            chopBlanks();
            out.bList = true;
            out.items.append(text);
            text.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype j = i + 1;
            while (j < n && !Is(value[j], kEndsValueRun))
                ++j;
            // Straight into the text, with no string of its own for each stretch.
            const QByteArrayView stretch = value.sliced(i, j - i);
            const qsizetype at = text.size();
            text.resize(at + utf8.requiredSpace(stretch.size()));
            text.truncate(utf8.appendToBuffer(text.data() + at, stretch) - text.constData());
            i = j;
        }
    }
    if (chop)
        chopBlanks();
    if (out.bList)
        out.items.append(text);
    return out;
}

// How many arguments Qt finds in "@Rect(1 2 3 4)" and its like.
qsizetype Arguments(const QString& s, qsizetype open)
{
    qsizetype count = 0;
    for (qsizetype i = open + 1; i < s.size(); ++i)
        count += s[i] == u' ' || s[i] == u')';
    return count;
}

// The text Qt hands on for one unescaped value, or nothing when it builds
// something else from it: an object, bytes, a rectangle, an invalid value.
std::optional<QString> AsText(const QString& s)
{
    if (!s.startsWith(u'@'))
        return s;
    if (s.endsWith(u')')) {
        const auto starts = [&s](const char* pszPrefix) { return s.startsWith(QLatin1String(pszPrefix)); };
        if (starts("@String("))
            return s.mid(8).chopped(1);
        if (starts("@ByteArray(") || starts("@Variant(") || starts("@DateTime(") || s == QLatin1String("@Invalid()")
            || (starts("@Rect(") && Arguments(s, 5) == 4) || (starts("@Size(") && Arguments(s, 5) == 2)
            || (starts("@Point(") && Arguments(s, 6) == 2))
            return std::nullopt;
    }
    return s.startsWith(QLatin1String("@@")) ? s.mid(1) : s;
}

// A list stays a list of texts only while no item starts with a lone '@'.
std::optional<QStringList> AsTexts(QStringList items)
{
    for (QString& item : items) {
        if (!item.startsWith(u'@'))
            continue;
        if (item.size() < 2 || item[1] != u'@')
            return std::nullopt;
        item.remove(0, 1);
    }
    return items;
}

IniFile::Entry Judge(QByteArrayView value)
{
    IniFile::Entry entry;
    const Unescaped unescaped = Unescape(value);
    if (unescaped.bList) {
        if (const auto items = AsTexts(unescaped.items))
            entry.value = *items;
    } else if (const auto text = AsText(unescaped.text)) {
        entry.value = *text;
    }
    entry.bText = entry.value.isValid();
    return entry;
}

// ---- Files: each version judged once, read without waiting and within
// bounds, and handed to QSettings as a private copy.

enum class Verdict { Missing, Clean, Cleaned, NotRegular, TooLarge, Unreadable };

// What tells one version of a file from the next without reading it.
struct Version
{
    bool bExists = false;
    dev_t device = 0;
    ino_t inode = 0;
    mode_t mode = 0;
    off_t size = 0;
    qint64 nModified = 0, nChanged = 0; // ns
    auto Tied() const { return std::tie(bExists, device, inode, mode, size, nModified, nChanged); }
    bool operator==(const Version& other) const { return Tied() == other.Tied(); }
};

Version VersionOf(const QString& file)
{
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return {};
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {true, st.st_dev, st.st_ino, st.st_mode, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

// At most kMaxBytes + 1 bytes of file. It is opened without waiting, so a
// FIFO put there since it was looked at answers at once, and read only
// while it is still a regular file.
Verdict ReadBytes(const QString& file, QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Verdict::Missing : Verdict::Unreadable;
    struct stat st;
    Verdict verdict = Verdict::Clean;
    if (::fstat(fd, &st) != 0) {
        verdict = Verdict::Unreadable;
    } else if (!S_ISREG(st.st_mode)) {
        verdict = Verdict::NotRegular;
    } else {
        bytes.resize(IniFile::kMaxBytes + 1);
        qsizetype got = 0;
        bool failed = false;
        while (got < bytes.size() && !failed) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n == 0)
                break;
            failed = n < 0 && errno != EINTR;
            got += qMax<ssize_t>(n, 0);
        }
        verdict = failed ? Verdict::Unreadable : got > IniFile::kMaxBytes ? Verdict::TooLarge : Verdict::Clean;
        bytes.truncate(got);
    }
    ::close(fd);
    return verdict;
}

struct Judged
{
    Version version;
    Verdict verdict = Verdict::Missing;
    QByteArray kept;  // what a rewrite keeps of a file that holds more
    QString readable; // what QSettings reads in its place; empty: nothing
    bool bJudged = false;
};

QTemporaryDir* PrivateFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kerfmate-settings-XXXXXX"));
    return folder.isValid() ? &folder : nullptr;
}

// A new name for each copy: QSettings takes a file of the same name, size
// and time for the one it has read before.
QString PrivateFile()
{
    static int s_nFiles = 0;
    QTemporaryDir* pFolder = PrivateFolder();
    return pFolder ? pFolder->filePath(QStringLiteral("%1.ini").arg(++s_nFiles)) : QString();
}

void Log(const QString& file, Verdict verdict, int nDropped)
{
    const QByteArray name = QFile::encodeName(QDir::toNativeSeparators(file));
    const char* pszWhy = verdict == Verdict::NotRegular ? "is not a regular file"
                         : verdict == Verdict::TooLarge ? "is larger than 256 KiB"
                         : verdict == Verdict::Unreadable ? "cannot be read"
                                                          : nullptr;
    if (pszWhy)
        ILog_WriteLogF(2, "Settings file %s %s: its defaults are used.", name.constData(), pszWhy);
    else if (verdict == Verdict::Cleaned)
        ILog_WriteLogF(2, "Settings file %s: left out %d value(s) that are not text.", name.constData(), nDropped);
}

Judged JudgeFile(const QString& file, const Version& version)
{
    Judged judged;
    judged.version = version;
    judged.bJudged = true;
    QByteArray bytes;
    judged.verdict = !version.bExists                   ? Verdict::Missing
                     : !S_ISREG(version.mode)           ? Verdict::NotRegular
                     : version.size > IniFile::kMaxBytes ? Verdict::TooLarge
                                                        : ReadBytes(file, bytes);
    int nDropped = 0;
    if (judged.verdict == Verdict::Clean) {
        IniFile::Content content = IniFile::Read(bytes);
        nDropped = content.nDropped;
        judged.verdict = nDropped ? Verdict::Cleaned : Verdict::Clean;
        judged.readable = PrivateFile();
        QFile copy(judged.readable);
        const bool copied = !judged.readable.isEmpty() && copy.open(QIODevice::WriteOnly)
                            && copy.write(content.kept) == content.kept.size() && copy.flush();
        // Without a copy a clean file is read where it is.
        if (!copied)
            judged.readable = nDropped ? QString() : file;
        if (nDropped)
            judged.kept = std::move(content.kept);
    }
    Log(file, judged.verdict, nDropped);
    return judged;
}

QMutex g_mutex;

// The judgement of file as it is now; g_mutex held.
const Judged& Current(const QString& file)
{
    static QHash<QString, Judged> s_judged;
    Judged& judged = s_judged[file];
    const Version version = VersionOf(file);
    if (!judged.bJudged || !(judged.version == version)) {
        if (!judged.readable.isEmpty() && judged.readable != file)
            QFile::remove(judged.readable);
        judged = JudgeFile(file, version);
    }
    return judged;
}
} // namespace

namespace IniFile {

Content Read(QByteArrayView ini)
{
    Content content;
    // Qt skips a byte-order mark at the start of the file, and only there.
    const qsizetype skip = ini.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const QByteArrayView data = ini.sliced(skip);
    qsizetype pos = 0, copied = 0;
    Line line;
    while (NextLine(data, pos, line)) {
        if (data[line.nStart] == '[' || line.nEquals < 0)
            continue; // a group, or a line Qt skips
        Entry entry = Judge(data.sliced(line.nEquals + 1, line.nEnd - line.nEquals - 1));
        entry.nStart = skip + line.nStart;
        entry.nEnd = skip + line.nEnd;
        if (!entry.bText) {
            content.kept += ini.sliced(copied, entry.nStart - copied);
            copied = entry.nEnd;
            ++content.nDropped;
        }
        content.entries.append(std::move(entry));
    }
    content.kept += ini.sliced(copied);
    return content;
}

QString ReadablePath(const QString& file)
{
    const QMutexLocker lock(&g_mutex);
    return Current(file).readable;
}

bool PrepareForWriting(const QString& file)
{
    const QMutexLocker lock(&g_mutex);
    const Judged& judged = Current(file);
    switch (judged.verdict) {
    case Verdict::Missing:
    case Verdict::Clean:
        return true;
    case Verdict::NotRegular:
    case Verdict::Unreadable:
        return false;
    case Verdict::Cleaned:
    case Verdict::TooLarge:
        break;
    }
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(judged.kept) == judged.kept.size() && out.commit();
}

QString WritablePath(const QString& file)
{
    if (PrepareForWriting(file))
        return file;
    const QMutexLocker lock(&g_mutex);
    return PrivateFile();
}

} // namespace IniFile
