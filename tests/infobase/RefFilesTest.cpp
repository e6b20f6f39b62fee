// Reference files: written and read back identical, their byte layouts, the
// country list and the sort orders of the books.
#include "infobase/RefFiles.h"
#include "infobase/SwapFile.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

using namespace kalvor::infobase;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(RefFiles, WrittenAndReadBackIdentical)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    CRefFiles out(folder);
    BuildFixtureRefFiles(out);
    out.lazer = QByteArray("\x01\x02 laser settings\xFF", 19);
    out.palitra = QByteArray(48, '\x7F');
    out.WriteNalog();
    out.WriteProfi();
    out.WritePost();
    out.WriteTitle();
    out.WriteVichet();
    out.WriteSbor();
    out.WriteBank();
    out.WriteOpaque();

    // All nine files are there ("country" is optional and missing here).
    CRefFiles in2(folder);
    EXPECT_TRUE(in2.OpenAll());
    EXPECT_TRUE(in2.country.empty());
    EXPECT_EQ(in2.nalog, out.nalog);
    EXPECT_EQ(in2.nalogCount, out.nalogCount);
    EXPECT_EQ(in2.profi, out.profi);
    EXPECT_EQ(in2.profiCount, out.profiCount);
    EXPECT_EQ(in2.post, out.post);
    EXPECT_EQ(in2.title, out.title);
    EXPECT_EQ(in2.titleCount, 3);
    EXPECT_EQ(in2.vichet, out.vichet);
    EXPECT_EQ(in2.sbor, out.sbor);
    EXPECT_EQ(in2.sborCount, 7);
    EXPECT_EQ(in2.recipients(), out.recipients());
    EXPECT_EQ(in2.lazer, out.lazer);
    EXPECT_EQ(in2.palitra, out.palitra);

    // Writing what was read gives the same bytes.
    const QByteArray nalog = fileBytes(folder + QStringLiteral("nalog"));
    const QByteArray bank = fileBytes(folder + QStringLiteral("bank"));
    in2.WriteNalog();
    in2.WriteBank();
    EXPECT_EQ(fileBytes(folder + QStringLiteral("nalog")), nalog);
    EXPECT_EQ(fileBytes(folder + QStringLiteral("bank")), bank);
}

TEST(RefFiles, ByteLayouts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    CRefFiles ref(folder);
    BuildFixtureRefFiles(ref);
    ref.WriteProfi();
    ref.WriteVichet();
    ref.WriteSbor();
    ref.WriteBank();

    const QByteArray profi = fileBytes(folder + QStringLiteral("profi"));
    ASSERT_EQ(profi.size(), 2 + 128 * 28);
    EXPECT_EQ(profi[0], 10); // count
    EXPECT_EQ(profi[2], 1); // first code
    // "Слесарь-ремонтник" in windows-1251, blank padded to 26 bytes.
    EXPECT_EQ(profi.mid(4, 26),
              QByteArray("\xD1\xEB\xE5\xF1\xE0\xF0\xFC-\xF0\xE5\xEC\xEE\xED\xF2\xED\xE8\xEA") + QByteArray(9, ' '));

    const QByteArray vichet = fileBytes(folder + QStringLiteral("vichet"));
    ASSERT_EQ(vichet.size(), 1 + 25 * 40);
    EXPECT_EQ(vichet[0], 3);
    EXPECT_EQ(u8(vichet[1]) | (u8(vichet[2]) << 8), 126);

    const QByteArray sbor = fileBytes(folder + QStringLiteral("sbor"));
    ASSERT_EQ(sbor.size(), 2 + 15 * 68);
    EXPECT_EQ(sbor[0], 7);
    EXPECT_EQ(u8(sbor[2 + 64]) | (u8(sbor[2 + 65]) << 8), 990);
    EXPECT_EQ(sbor[2 + 66], 3);

    const QByteArray bank = fileBytes(folder + QStringLiteral("bank"));
    ASSERT_EQ(bank.size(), 2 + 148 * 188);
    const char* r = bank.constData() + 2;
    EXPECT_EQ(QByteArray(r + 20, 12), QByteArray("\xCF\xC0\xCE \xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA")); // ПАО Сбербанк
    EXPECT_EQ(QByteArray(r + 157, 12), QByteArray("044030653   "));
    EXPECT_EQ(QByteArray(r + 179, 9), QByteArray("352502001"));

    // A damaged file is refused with the system's message; a missing one is just absent.
    QFile cut(folder + QStringLiteral("sbor"));
    ASSERT_TRUE(cut.resize(100));
    CRefFiles again(folder);
    try {
        again.ReadSbor();
        FAIL();
    } catch (const InfoBaseError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Ошибка чтения файла ") + folder + QStringLiteral("sbor"));
    }
    EXPECT_FALSE(again.ReadTitle());
    EXPECT_EQ(again.titleCount, 0);
}

TEST(RefFiles, CountryListAndSortOrders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath(QStringLiteral("country")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray data;
    data += "643" + QByteArray("\xD0\xEE\xF1\xF1\xE8\xFF") + QByteArray(44, ' '); // Россия
    data += "\r\n";
    data += "112" + QByteArray("\xC1\xE5\xEB\xE0\xF0\xF3\xF1\xFC") + QByteArray(42, ' '); // Беларусь
    f.write(data);
    f.close();
    CRefFiles ref(dir.path() + QLatin1Char('/'));
    ASSERT_TRUE(ref.ReadCountry());
    // The line end between the records is skipped; the names lose their padding.
    ASSERT_EQ(ref.country.size(), 2u);
    EXPECT_EQ(ref.country[0].code, QStringLiteral("643"));
    EXPECT_EQ(ref.country[0].name, QStringLiteral("Россия"));
    EXPECT_EQ(ref.country[1].code, QStringLiteral("112"));
    EXPECT_EQ(ref.country[1].name, QStringLiteral("Беларусь"));

    // Books sort by code with empty records last; bands by lower bound, empty last.
    std::vector<ProfessionRecord> p = {{30, QStringLiteral("Токарь")},
                                       {0, QString()},
                                       {10, QStringLiteral("Слесарь")},
                                       {20, QStringLiteral("Водитель")}};
    std::sort(p.begin(), p.end(), CompareProfiRecords);
    EXPECT_EQ(p[0].code, 10);
    EXPECT_EQ(p[2].code, 30);
    EXPECT_TRUE(p[3].isEmpty());
    std::vector<PositionRecord> pos = {
        {0, QString(), 0}, {0, QStringLiteral("Без кода"), 0}, {5, QStringLiteral("Мастер"), 1}};
    std::sort(pos.begin(), pos.end(), ComparePostRecords);
    EXPECT_EQ(pos[0].name, QStringLiteral("Без кода")); // code 0 with a name is not empty
    EXPECT_EQ(pos[1].code, 5);
    std::vector<TaxScaleBand> bands = {{}, {5'000'000, 650'000, 15, 0, 0}, {0, 0, 13, 0, 0}};
    std::sort(bands.begin(), bands.end(), CompareNalogRecords);
    EXPECT_EQ(bands[0].percent, 13);
    EXPECT_EQ(bands[1].percent, 15);
    EXPECT_TRUE(bands[2].isEmpty());
}
