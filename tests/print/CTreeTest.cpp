#include "print/CTree.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "print/TextHelpers.h"
#include "print/WorkingFolder.h"
#include "support/OfficeConvert.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::print;

using namespace kalvor::testsupport;

namespace {

QByteArray cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

QByteArray slot(int k)
{
    return QByteArray("{\\*\\bkmkstart par%1}{\\*\\bkmkend par%1}").replace("%1", QByteArray::number(k));
}

// A template as Word writes it: header groups, the first section, the body
// and a closing empty paragraph.
QByteArray document(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}\r\n"
           "\\paperw11906 \\fet0\\sectd \\sbknone\r\n" +
           body + "\\pard\\plain \\ql\\f0 {\\*\\bkmkend page0}{\\par }}\r\n";
}

QByteArray rowDef() { return "\\trowd \\trgaph108\\cellx3000\\cellx6000\r\n"; }

class CTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
        SetWorkingFolder(dir.path());
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    void writeTemplate(const QString& name, const QByteArray& rtf)
    {
        QFile f(dir.filePath(QStringLiteral("Shablon/") + name + QStringLiteral(".rtf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(rtf);
    }
    void copyShippedTemplate(const QString& name)
    {
        const QString from = QStringLiteral(KALVOR_SOURCE_DIR "/data/Shablon/") + name + QStringLiteral(".rtf");
        ASSERT_TRUE(QFile::copy(from, dir.filePath(QStringLiteral("Shablon/") + name + QStringLiteral(".rtf"))));
    }
    QString output() const { return dir.filePath(QStringLiteral("zavod.typ")); }
    QByteArray generated() const
    {
        QFile f(dir.filePath(QStringLiteral("zavod.rtf")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// Braces balance when escaped ones are skipped: the document is one group.
bool balancedDocument(const QByteArray& rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
            continue;
        }
        if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth == 0 && rtf.mid(i + 1).trimmed().size() != 0)
            return false;
        if (depth < 0)
            return false;
    }
    return depth == 0 && rtf.startsWith("{\\rtf1");
}

} // namespace

TEST_F(CTreeTest, SinglePageWithoutRowsIsFilledExactly)
{
    writeTemplate(QStringLiteral("one"),
                  document("\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}{A }" + slot(0) + slot(1) +
                           "{\\par }\r\n"
                           "\\pard\\plain \\ql\\f0 " +
                           slot(2) + slot(3) + slot(4) + "{\\par }\r\n"));
    CTree tree("one", output());
    EXPECT_EQ(tree.BookmarkMap(), (QList<QByteArray>{"page0", "0", "page0", "0", "4"}));

    QDomElement page;
    tree.NewPage(&page, "page0");
    EXPECT_EQ(tree.AddValue(page, {"v0", "v1", "v2", "", "v4"}), 0);
    EXPECT_EQ(tree.Generate(), CTree::GenerateDone);
    EXPECT_EQ(tree.OutputFileName(), dir.filePath(QStringLiteral("zavod.rtf")));
    EXPECT_EQ(generated(), "{\\rtf1\\ansi\\ansicpg1251\\deff0\n"
                           "{\\fonttbl\n"
                           "{\\f0\\fcharset204 Arial;}\n"
                           "}\n"
                           "\\paperw11906 \\fet0\n"
                           "{}\n"
                           "{\\*\\bkmkstart page0}\n"
                           "\\sectd \\sbknone\\pard\\plain \\ql\\f0 \n"
                           "{A }\n"
                           "{v0}\n"
                           "{v1}\n"
                           "{\\par }\n"
                           "\\pard\\plain \\ql\\f0 \n"
                           "{v2}\n"
                           "{}\n"
                           "{v4}\n"
                           "{\\par }\n"
                           "{\\*\\bkmkend page0}\n"
                           "\\pard\\plain \\ql\\f0 \n"
                           "{\\par }\n"
                           "}\n");
}

// A link planted at the form's name (a working folder others can write to)
// is replaced by the form, 0600; the other user's 0666 file it pointed to
// keeps its text and its rights, and nothing goes into that file's folder.
TEST_F(CTreeTest, ALinkAtTheFormsNameIsReplacedAndItsTargetLeftAlone)
{
    writeTemplate(QStringLiteral("one"), document("\\pard\\plain {\\*\\bkmkstart page0}" + slot(0) + "{\\par }\r\n"));
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    const QString theirs = other.filePath(QStringLiteral("theirs.rtf"));
    {
        QFile f(theirs);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("their text");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(theirs).constData(), 0666), 0);
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
    ASSERT_TRUE(QFile::link(theirs, dir.filePath(QStringLiteral("zavod.rtf"))));

    CTree tree("one", output());
    QDomElement page;
    tree.NewPage(&page, "page0");
    tree.AddValue(page, {"payroll"});
    ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    const QFileInfo form(tree.OutputFileName());
    EXPECT_FALSE(form.isSymLink());
    EXPECT_TRUE(generated().contains("{payroll}"));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(form.filePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    QFile f(theirs);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("their text"));
    ASSERT_EQ(::lstat(QFile::encodeName(theirs).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    EXPECT_EQ(QDir(other.path()).entryList(QDir::Files), QStringList{QStringLiteral("theirs.rtf")});
}

TEST_F(CTreeTest, RepeatedPagesAndRowsOfTheShippedTemplate)
{
    copyShippedTemplate(QStringLiteral("spisok"));
    CTree tree("spisok", output());
    EXPECT_EQ(tree.BookmarkMap(), (QList<QByteArray>{"page0", "0", "2", "row0", "3", "6", "page0", "7", "9"}));

    const char* names[][2] = {
        {"Иванов Иван Иванович", "12 345.60"}, {"Петрова Анна Сергеевна", "8 000.00"}, {"Сидоров Петр", "1.05"}};
    for (int p = 0; p < 2; ++p) {
        QDomElement page = tree.NewPage(nullptr, "page0");
        tree.AddValue(page,
                      {cp("ООО \"Рога и копыта\""), p == 0 ? cp("Январь 2026") : cp("Февраль 2026"), "31.01.2026"});
        for (int r = 0; r < 3; ++r) {
            QDomElement row;
            tree.NewRow("row0", &row, page);
            tree.AddValue(row, {QByteArray::number(r + 1), QByteArray::number(100 + r), cp(names[r][0]), names[r][1]});
        }
        char words[kWordBufferSize];
        const int n = SumInWords(20346, 65, words);
        tree.AddValue(page, {"20 346.65", QByteArray(words, n), codepage::toCp1251(QStringLiteral("Смирнова О. П."))});
    }
    ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    const QByteArray rtf = generated();
    EXPECT_TRUE(balancedDocument(rtf));

    // Every bookmark of a value is gone; each page keeps its page and row bookmarks.
    EXPECT_FALSE(rtf.contains("bkmkstart par"));
    EXPECT_FALSE(rtf.contains("bkmkend par"));
    EXPECT_EQ(rtf.count("{\\*\\bkmkstart page0}"), 2);
    EXPECT_EQ(rtf.count("{\\*\\bkmkstart row0}"), 6);
    EXPECT_EQ(rtf.count("\\pagebb"), 2);
    EXPECT_EQ(rtf.count("{\\row }"), 2 * (1 + 3 + 1));

    // Values in the order of their bookmarks, Cyrillic as \'xx of windows-1251,
    // quotes and digits as they are.
    const QByteArray firm = "{\\'ce\\'ce\\'ce \"\\'d0\\'ee\\'e3\\'e0 \\'e8 \\'ea\\'ee\\'ef\\'fb\\'f2\\'e0\"}";
    const QByteArray ivanov =
        "{\\'c8\\'e2\\'e0\\'ed\\'ee\\'e2 \\'c8\\'e2\\'e0\\'ed \\'c8\\'e2\\'e0\\'ed\\'ee\\'e2\\'e8\\'f7}";
    const QByteArray words = "{\\'c4\\'e2\\'e0\\'e4\\'f6\\'e0\\'f2\\'fc \\'f2\\'fb\\'f1\\'ff\\'f7 ";
    EXPECT_EQ(rtf.count(firm), 2);
    EXPECT_EQ(rtf.count(ivanov), 2);
    const qsizetype january = rtf.indexOf("{\\'df\\'ed\\'e2\\'e0\\'f0\\'fc 2026}");
    const qsizetype february = rtf.indexOf("{\\'d4\\'e5\\'e2\\'f0\\'e0\\'eb\\'fc 2026}");
    ASSERT_GT(january, 0);
    ASSERT_GT(february, january);
    qsizetype at = january;
    for (const QByteArray& piece :
         {QByteArray("{31.01.2026}"), QByteArray("{1}"), QByteArray("{100}"), ivanov, QByteArray("{12 345.60}"),
          QByteArray("{2}"), QByteArray("{101}"), QByteArray("{8 000.00}"), QByteArray("{3}"), QByteArray("{102}"),
          QByteArray("{1.05}"), QByteArray("{20 346.65}"), words, QByteArray("\\'ea\\'ee\\'ef\\'e5\\'e5\\'ea}")}) {
        const qsizetype next = rtf.indexOf(piece, at);
        ASSERT_GT(next, at) << piece.constData();
        EXPECT_LT(next, february) << piece.constData();
        at = next;
    }
    // The rows stand inside the table, before its totals row.
    const qsizetype lastRow = rtf.indexOf("{1.05}");
    const qsizetype totals = rtf.indexOf("{\\b \\'c8\\'f2\\'ee\\'e3\\'ee\\cell }");
    EXPECT_LT(rtf.indexOf("{\\b \\'d1\\'f3\\'ec\\'ec\\'e0, \\'f0\\'f3\\'e1.\\cell }"), rtf.indexOf(ivanov));
    EXPECT_LT(lastRow, totals);
    EXPECT_LT(totals, rtf.indexOf("{20 346.65}"));
}

TEST_F(CTreeTest, RowsGatherAtTheFirstRowRegionInTheOrderAdded)
{
    writeTemplate(QStringLiteral("rows"),
                  document("\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}{Title }" + slot(0) + "{\\par }\r\n" +
                           rowDef() + "\\pard\\plain \\intbl {H1\\cell }{H2\\cell }{\\row }\r\n" + rowDef() +
                           "\\pard\\plain \\intbl {\\*\\bkmkstart row0}" + slot(1) + "{\\cell }" + slot(2) +
                           "{\\cell }{\\row }\r\n" + rowDef() +
                           "\\pard\\plain \\intbl {\\*\\bkmkend row0}{S1\\cell }{S2\\cell }{\\row }\r\n" + rowDef() +
                           "\\pard\\plain \\intbl {\\*\\bkmkstart row1}" + slot(3) + "{\\cell }{X\\cell }{\\row }\r\n" +
                           "\\pard\\plain \\ql\\f0 {\\*\\bkmkend row1}{Tail }" + slot(4) + "{\\par }\r\n"));
    CTree tree("rows", output());
    EXPECT_EQ(tree.BookmarkMap(),
              (QList<QByteArray>{"page0", "0", "0", "row0", "1", "2", "row1", "3", "3", "page0", "4", "4"}));

    QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, {"title"});
    tree.AddValue(tree.NewRow("row1", nullptr, page), {"b1"});
    tree.AddValue(tree.NewRow("row0", nullptr, page), {"a1", "a2"});
    tree.AddValue(tree.NewRow("row1", nullptr, page), {"b2"});
    tree.AddValue(page, {"tail"}); // numbered on from the end of the last row region
    tree.AddValue(page, std::initializer_list<CTree::Value>{}); // nothing
    ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    const QByteArray rtf = generated();
    EXPECT_TRUE(balancedDocument(rtf));

    const qsizetype b1 = rtf.indexOf("{b1}"), a1 = rtf.indexOf("{a1}"), a2 = rtf.indexOf("{a2}"),
                    b2 = rtf.indexOf("{b2}"), s1 = rtf.indexOf("{S1\\cell }"), tail = rtf.indexOf("{tail}");
    EXPECT_GT(b1, rtf.indexOf("{H2\\cell }"));
    EXPECT_LT(b1, a1);
    EXPECT_LT(a1, a2);
    EXPECT_LT(a2, b2);
    EXPECT_LT(b2, s1);
    EXPECT_LT(s1, tail);
    // The place of row1 stays empty: its fixed cell appears only in the two copies.
    EXPECT_EQ(rtf.count("{X\\cell }"), 2);
    EXPECT_GT(rtf.indexOf("{X\\cell }"), b1);
    EXPECT_LT(rtf.lastIndexOf("{X\\cell }"), s1);
    // Each copy is a whole table row: its definition, cells and row end.
    EXPECT_TRUE(rtf.contains("{\\*\\bkmkstart row0}\\trowd \\trgaph108\\cellx3000\\cellx6000\\pard\\plain \\intbl "
                             "{a1}{\\cell }{a2}{\\cell }{\\row }{\\*\\bkmkend row0}"));
}

TEST_F(CTreeTest, HundredRowsAndValuesOfTheDataDocument)
{
    copyShippedTemplate(QStringLiteral("spisok"));
    CTree tree("spisok", output());
    QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, {"f", "p", "d"});
    for (int r = 0; r < 100; ++r)
        tree.AddValue(tree.NewRow("row0", nullptr, page),
                      {QByteArray::number(r + 1), "t", "n", "row-value-" + QByteArray::number(r)});
    tree.AddValue(page, {"total", "words", "sign"});

    const QDomElement root = tree.DataDocument().documentElement();
    EXPECT_EQ(root.tagName(), QStringLiteral("docList"));
    EXPECT_EQ(root.firstChildElement(QStringLiteral("typedoc")).text(), QStringLiteral("spisok"));
    EXPECT_EQ(root.firstChildElement(QStringLiteral("print")).text(), QStringLiteral("0"));
    const QDomElement pageElement = root.firstChildElement(QStringLiteral("doc")).firstChildElement();
    EXPECT_EQ(pageElement.tagName(), QStringLiteral("page0"));
    EXPECT_EQ(pageElement.firstChildElement().tagName(), QStringLiteral("par0"));
    const QDomElement firstRow = pageElement.firstChildElement(QStringLiteral("row0"));
    EXPECT_EQ(firstRow.firstChildElement().tagName(), QStringLiteral("par3"));
    EXPECT_EQ(firstRow.lastChildElement().tagName(), QStringLiteral("par6"));
    EXPECT_EQ(pageElement.lastChildElement().tagName(), QStringLiteral("par9"));
    EXPECT_EQ(pageElement.lastChildElement().text(), QStringLiteral("sign"));

    ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    const QByteArray rtf = generated();
    qsizetype at = 0;
    for (int r = 0; r < 100; ++r) {
        const qsizetype next = rtf.indexOf("{row-value-" + QByteArray::number(r) + "}", at);
        ASSERT_GT(next, at) << r;
        at = next;
    }
    EXPECT_LT(at, rtf.indexOf("{total}"));
    EXPECT_EQ(rtf.count("{\\*\\bkmkstart row0}"), 100);
}

TEST_F(CTreeTest, ControlCharactersOfValuesAreEscaped)
{
    writeTemplate(QStringLiteral("one"),
                  document("\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}" + slot(0) + "{\\par }\r\n"));
    CTree tree("one", output());
    QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, {cp("C:\\Фирма {ООО} }x{"), QByteArray("a\tb")});
    ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    const QByteArray rtf = generated();
    EXPECT_TRUE(rtf.contains("\n{C:\\\\\\'d4\\'e8\\'f0\\'ec\\'e0 \\{\\'ce\\'ce\\'ce\\} \\}x\\{}\n"));
    EXPECT_TRUE(balancedDocument(rtf));
}

TEST_F(CTreeTest, SecondPageRegionAndItsSectionBreak)
{
    writeTemplate(QStringLiteral("two"), "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}\r\n"
                                         "\\paperw11906 \\fet0\\sectd \\sbknone\r\n"
                                         "\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}{First }" +
                                             slot(0) +
                                             "{\\*\\bkmkend page0}{\\sect }\r\n"
                                             "\\sectd \\sbkpage\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page1}{Second }" +
                                             slot(1) + slot(2) +
                                             "{\\*\\bkmkend page1}\\par \\pard\\plain \\ql\\f0 {\\par }}\r\n");
    CTree tree("two", output());
    const QList<QByteArray> map = tree.BookmarkMap();
    ASSERT_GE(map.size(), 7);
    EXPECT_EQ(map.mid(0, 2), (QList<QByteArray>{"page0", "0"}));
    EXPECT_EQ(map.mid(5, 2), (QList<QByteArray>{"page1", "1"}));

    QDomElement second = tree.NewPage(nullptr, "page1");
    tree.AddValue(second, {"s1", "s2"});
    EXPECT_EQ(second.firstChildElement().tagName(), QStringLiteral("par1"));
    QDomElement first = tree.NewPage(nullptr, "page0");
    tree.AddValue(first, {"f0"});
    ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    const QByteArray rtf = generated();
    EXPECT_TRUE(balancedDocument(rtf));
    // Pages in the order added; page0 takes its section break along, page1
    // its own section definition and the end of its last paragraph.
    EXPECT_TRUE(rtf.contains("\n{}\n{\\*\\bkmkstart page1}\n\\sectd \\sbkpage\\pard\\plain \\ql\\f0 \n{Second }\n{s1}\n"
                             "{s2}\n\\par \\pard\\plain \\ql\\f0 \n{\\*\\bkmkend page1}\n{\\*\\bkmkstart page0}\n"));
    EXPECT_TRUE(rtf.endsWith("{First }\n{f0}\n{\\sect }\n{\\*\\bkmkend page0}\n{\\par }\n}\n"));
}

TEST_F(CTreeTest, OutputNameComesFromTheWorkFilePath)
{
    writeTemplate(QStringLiteral("one"),
                  document("\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}" + slot(0) + "{\\par }\r\n"));
    EXPECT_EQ(CTree("one", QStringLiteral("/w/base.typ")).OutputFileName(), QStringLiteral("/w/base.rtf"));
    EXPECT_EQ(CTree("one", QStringLiteral("/w/form.rtf")).OutputFileName(), QStringLiteral("/w/form.rtf"));
}

TEST_F(CTreeTest, TemplateFaultsAreReportedNotIgnored)
{
    // Missing and empty templates raise the engine's exception with the path.
    const QString missing = dir.filePath(QStringLiteral("Shablon/nety.rtf"));
    try {
        CTree tree("nety", output());
        ADD_FAILURE() << "no exception";
    } catch (const TextError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Ошибка при открытии файла ") + missing);
    }
    writeTemplate(QStringLiteral("pusto"), QByteArray());
    try {
        CTree tree("pusto", output());
        ADD_FAILURE() << "no exception";
    } catch (const TextError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Ошибка при чтении файла ") + dir.filePath(QStringLiteral("Shablon/pusto.rtf")));
    }

    // A template without page0: an error result and no document.
    writeTemplate(QStringLiteral("bad"), "{\\rtf1\\ansi \\pard\\plain {Nothing}{\\par }}");
    {
        CTree tree("bad", output());
        tree.NewPage(nullptr, "page0");
        EXPECT_EQ(tree.Generate(), CTree::GenerateTemplateFault);
        EXPECT_FALSE(tree.ErrorText().isEmpty());
        EXPECT_FALSE(QFile::exists(tree.OutputFileName()));
    }
    // A row the template lacks is the writer's fault and fails the document.
    writeTemplate(QStringLiteral("one"),
                  document("\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}" + slot(0) + "{\\par }\r\n"));
    {
        CTree tree("one", output());
        QDomElement page = tree.NewPage(nullptr, "page0");
        tree.NewRow("row7", nullptr, page);
        EXPECT_EQ(tree.Generate(), CTree::GenerateTemplateFault);
        EXPECT_TRUE(tree.ErrorText().contains(QStringLiteral("row7")));
        EXPECT_FALSE(QFile::exists(tree.OutputFileName()));
    }
}

TEST_F(CTreeTest, UnwritableOutputAndMissingViewerAreReported)
{
    writeTemplate(QStringLiteral("one"),
                  document("\\pard\\plain \\ql\\f0 {\\*\\bkmkstart page0}" + slot(0) + "{\\par }\r\n"));
    {
        CTree tree("one", dir.filePath(QStringLiteral("no/such/folder/zavod.typ")));
        tree.AddValue(tree.NewPage(nullptr, "page0"), {"x"});
        EXPECT_EQ(tree.Generate(), CTree::GenerateOutputFault);
        EXPECT_TRUE(tree.ErrorText().contains(QStringLiteral("no/such/folder/zavod.rtf")));
    }
    platform::DocumentOpener::SetCommand(QStringLiteral("kalvor-no-such-viewer --view"));
    {
        CTree tree("one", output());
        tree.AddValue(tree.NewPage(nullptr, "page0"), {"x"});
        EXPECT_EQ(tree.Generate(), CTree::GenerateNotOpened);
        EXPECT_EQ(tree.ErrorText(),
                  QStringLiteral("Не найдена программа просмотра документов \"kalvor-no-such-viewer\".\n"
                                 "Документ сохранен в файле ") +
                      dir.filePath(QStringLiteral("zavod.rtf")));
        EXPECT_TRUE(generated().contains("{x}"));
    }
    platform::DocumentOpener::SetCommand(QString());
    EXPECT_FALSE(platform::DocumentOpener::Open(output()).isEmpty());
    platform::DocumentOpener::SetCommand(QStringLiteral("true --ignored"));
    EXPECT_EQ(platform::DocumentOpener::Open(output()), QString());
}

// The filled form as LibreOffice renders it: converted to PDF, its text holds
// the values.
TEST_F(CTreeTest, LibreOfficeRendersTheFilledForm)
{
    if (OfficeProgram().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed: the PDF rendering of the form is not checked";

    copyShippedTemplate(QStringLiteral("spisok"));
    {
        CTree tree("spisok", output());
        QDomElement page = tree.NewPage(nullptr, "page0");
        tree.AddValue(page, {cp("ООО Ромашка"), cp("Март 2026"), "31.03.2026"});
        tree.AddValue(tree.NewRow("row0", nullptr, page), {"1", "17", cp("Кузнецова Мария Павловна"), "4 321.00"});
        char words[kWordBufferSize];
        const int n = SumInWords(4321, 0, words);
        tree.AddValue(page, {"4 321.00", QByteArray(words, n), cp("Орлова Е. В.")});
        ASSERT_EQ(tree.Generate(), CTree::GenerateDone);
    }

    const QString rtf = dir.filePath(QStringLiteral("zavod.rtf"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QFile pdf(ConvertWithOffice(rtf, QStringLiteral("pdf"), out));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));

    QString text;
    if (PdfToTextAvailable()) {
        text = PdfText(pdf.fileName());
    } else {
        // The same rendering as plain text, when no PDF text extractor is at hand.
        QFile txt(ConvertWithOffice(rtf, QStringLiteral("txt:Text (encoded):UTF8"), out));
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
        text = QString::fromUtf8(txt.readAll());
    }
    for (const QString& value :
         {QStringLiteral("ООО Ромашка"), QStringLiteral("Март 2026"), QStringLiteral("Кузнецова Мария Павловна"),
          QStringLiteral("4 321.00"), QStringLiteral("Четыре тысячи триста двадцать один рубль 00 копеек"),
          QStringLiteral("Орлова Е. В."), QStringLiteral("СПИСОК СУММ К ВЫПЛАТЕ")})
        EXPECT_TRUE(text.contains(value)) << value.toStdString();
}
