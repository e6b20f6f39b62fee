// Every file the program writes goes through platform::SavedFile (a private
// temporary file renamed over the name, never through a link). The sources
// are walked for every way a file can be opened for writing; each one found
// must write through a SavedFile, or be one of the few files that are kept
// open and written in place, each named here with why.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// A place in the sources that opens a file for writing otherwise than
// through SavedFile, and why that is right there.
struct InPlaceWriter {
    const char* file;
    const char* text; // a part of the line
    const char* why;
};

constexpr InPlaceWriter kInPlaceWriters[] = {
    {"src/platform/SavedFile.cpp", "mkostemp(", "the one write path itself"},
    {"src/platform/PrivateFiles.cpp", "O_WRONLY | O_CREAT | O_EXCL", "an empty private file made new, nothing written"},
    {"src/platform/ConsoleLog.cpp", "O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW", "the console log, appended"},
    {"src/platform/BaseLock.cpp", "O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW", "a base's lock file, never written"},
    {"src/infobase/SwapFile.cpp", "O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW", "the run's work store, made private"},
    {"src/infobase/BaseFiles.cpp", "out.open(QIODevice::WriteOnly | QIODevice::Truncate",
     "a new base's file, made new and private and held just before"},
    {"src/infobase/BaseFiles.cpp", "QTemporaryFile holder", "a private temporary copy made new"},
    {"src/print/PrintOutput.cpp", "O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW",
     "the 1C transfer file, appended under the lock that program shares"},
};

// What opens a file for writing, in any of the ways the program could.
const QRegularExpression kWriting(QStringLiteral(
    R"(QSaveFile|QTemporaryFile\s+\w|QFile::copy|fopen|ofstream|O_WRONLY|O_RDWR|O_CREAT|setOutputFileName|)"
    R"(workbook_new|(?:(\w+)(?:\.|->)|\)\.)open\([^)]*(?:WriteOnly|ReadWrite|Append))"));

// A file written whole by the writer on SavedFile (platform::WriteWholeFile).
const QRegularExpression kWholeFileWrite(QStringLiteral(R"(\bWriteWholeFile(?:Kind)?\()"));

// The names a file declares as SavedFile (or as an in-memory buffer, which
// is no file).
QSet<QString> SavedNames(const QString& text)
{
    static const QRegularExpression declared(QStringLiteral(
        R"((?:SavedFile>?|QBuffer)\s+(\w+)|(\w+)\s*=\s*std::make_unique<[\w:]*SavedFile>)"));
    QSet<QString> names;
    for (const QRegularExpressionMatch& m : declared.globalMatch(text))
        names.insert(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));
    return names;
}

// Whether the line writes through SavedFile: it opens a SavedFile (or a
// buffer), or hands a library the open SavedFile's temporary name.
bool ThroughSavedFile(const QString& line, const QRegularExpressionMatch& m, const QSet<QString>& saved)
{
    if (!m.captured(1).isEmpty())
        return saved.contains(m.captured(1));
    if (m.captured(0).startsWith(QStringLiteral(").open(")))
        return line.contains(QStringLiteral("SavedFile("));
    return line.contains(QStringLiteral("temporaryName()"));
}

bool Explained(const QString& file, const QString& line)
{
    for (const InPlaceWriter& w : kInPlaceWriters)
        if (file == QLatin1String(w.file) && line.contains(QString::fromUtf8(w.text)))
            return true;
    return false;
}

} // namespace

TEST(FileWriters, EveryFileIsWrittenThroughSavedFile)
{
    const QDir root(QStringLiteral(KALVOR_SOURCE_DIR));
    QDirIterator it(root.filePath(QStringLiteral("src")), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QStringList unexplained;
    int throughSaved = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString file = root.relativeFilePath(path);
        QFile source(path);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << file.toStdString();
        const QString text = QString::fromUtf8(source.readAll());
        // The names a source file declares in its own header count too.
        QFile header(path.chopped(4) + QStringLiteral(".h"));
        const QString declared = path.endsWith(QStringLiteral(".cpp")) && header.open(QIODevice::ReadOnly)
                                     ? QString::fromUtf8(header.readAll())
                                     : QString();
        const QSet<QString> saved = SavedNames(text + declared);
        int number = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            ++number;
            if (line.trimmed().startsWith(QStringLiteral("//")))
                continue;
            if (!file.startsWith(QStringLiteral("src/platform/SavedFile.")))
                throughSaved += int(line.count(kWholeFileWrite));
            for (const QRegularExpressionMatch& m : kWriting.globalMatch(line)) {
                if (ThroughSavedFile(line, m, saved))
                    ++throughSaved;
                else if (!Explained(file, line))
                    unexplained << QStringLiteral("%1:%2: %3").arg(file).arg(number).arg(line.trimmed());
            }
        }
    }
    EXPECT_TRUE(unexplained.isEmpty()) << unexplained.join(QLatin1Char('\n')).toStdString();
    // The program's writers: the forms, statements, exports, copies and
    // settings, each opening a SavedFile or writing a whole file through one.
    EXPECT_GE(throughSaved, 30);
}

// Each place written in place is still there as named: a stale entry would
// let a new writer of the same file pass unseen.
TEST(FileWriters, EveryFileWrittenInPlaceIsStillThere)
{
    const QDir root(QStringLiteral(KALVOR_SOURCE_DIR));
    for (const InPlaceWriter& w : kInPlaceWriters) {
        QFile source(root.filePath(QLatin1String(w.file)));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << w.file;
        EXPECT_TRUE(QString::fromUtf8(source.readAll()).contains(QString::fromUtf8(w.text))) << w.file << ": " << w.why;
    }
}
