// The pension-fund XML file: whole files of fixed report values, firm record
// and "inval" compared byte for byte with stored ones (2010 without the
// reduced tariff, 2011 with it and with the Article 57/58 parts); the file
// name; the text rules; a failed write; and the demo base's first quarter of
// 2011 computed, written and read back as XML.
#include "reports/social/PensionXml.h"
#include "reports/social/PensionContributions.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <cstring>

#ifdef KALVOR_DATA_DIR
#include "support/DemoDocument.h"
#endif

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::reports;
using namespace kalvor::reports::ovpf;

namespace {

const QString kGoldenFolder = QStringLiteral(KALVOR_SOURCE_DIR "/tests/reports/social/golden/");

QByteArray cp(const QString& text) { return codepage::toCp1251(text); }
QString text(const QByteArray& bytes) { return codepage::fromCp1251(bytes); }

template <std::size_t N>
void Put(std::array<char, N>& field, const QString& value, char fill = ' ')
{
    const QByteArray bytes = cp(value).leftJustified(qsizetype(N), fill, true);
    std::memcpy(field.data(), bytes.constData(), N);
}

InvalRecord Inval(const QString& name, const QString& issued, const QByteArray& end, std::array<double, 4> roubles)
{
    InvalRecord record;
    Put(record.fio, name);
    Put(record.invSprSer, QStringLiteral("МСЭ-2010"));
    Put(record.invSprNom, QStringLiteral("0412785"));
    Put(record.invSprDat, issued);
    std::memcpy(record.invEnd.data(), end.constData(), std::min<std::size_t>(10, std::size_t(end.size())));
    record.invGr = 2;
    record.sinceYearStart = roubles[0] * 100;
    record.months = {roubles[1] * 100, roubles[2] * 100, roubles[3] * 100};
    record.quarter = (roubles[1] + roubles[2] + roubles[3]) * 100;
    return record;
}

// A firm in Череповец with its registration numbers, and report values
// numbered after their places so that every value is seen where it lands.
class PensionXml : public ::testing::Test {
protected:
    void SetUp() override
    {
        FirmInfo& f = doc.infoBase.firm;
        const auto set = [&](FirmInfo::Text which, const char16_t* value) {
            f.texts[which] = QString::fromUtf16(value);
        };
        set(FirmInfo::firmName, u"  ооо   ромашка ");
        set(FirmInfo::firmPens, u"087-105-012345");
        set(FirmInfo::firmOMS, u"352010012345678");
        set(FirmInfo::firmINN, u"3528012345");
        set(FirmInfo::firmKPP, u"352801001");
        set(FirmInfo::firmOGRN, u"1023501234567");
        set(FirmInfo::firmOKATO, u"19430000000");
        set(FirmInfo::firmOKVED, u" 29.24.9");
        set(FirmInfo::firmOKPO, u"12345678");
        set(FirmInfo::firmOKOPF, u"65");
        set(FirmInfo::firmOKFS, u"16");
        set(FirmInfo::adrPhone, u"(8202)  55-12-34");
        set(FirmInfo::adrInd, u"162600");
        set(FirmInfo::adrObl, u"Вологодская обл");
        set(FirmInfo::adrGorod, u"Череповец г");
        set(FirmInfo::adrUlica, u"Мира ул");
        set(FirmInfo::adrDom, u"12а");
        set(FirmInfo::fioShef, u"Громов Виктор Павлович");
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        GenrValueArray& v = doc.GenrValues;
        for (int i = 0; i < 208; ++i) v[std::size_t(i)] = 1'000 + i;
        v[kInsuredPersons] = 48;
        v[kAverageHeadcount] = 47;
        v[kCorrectionNumber] = 0;
        for (int i = 0; i < 6; ++i) v[std::size_t(kSection5 + i)] = 11 + i;
        v[kIncome248] = 1'000'000;
        v[kIncome57] = 800'000;
        v[kHeadcount433] = 25;
        v[kRegisterDate] = PackedDate::pack(15, 3, 10).value;
        v[kRegisterNumber] = 1'234;
        v[kIncome34615] = 600'000;
        v[kIncome58] = 420'000;
    }
    void setYear(int year, int lastMonth)
    {
        doc.infoBase.config.r_g = i8(year - 1900);
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = u8(lastMonth);
    }
    QByteArray bytes(const std::vector<InvalRecord>& inval = {}) const
    {
        return OVPFXmlBytes(selection, doc, inval, QDate(2011, 4, 18));
    }
    // Compares with the stored file; a difference is saved beside the test.
    void expectGolden(const QByteArray& written, const QString& name) const
    {
        QFile golden(kGoldenFolder + name);
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray stored = golden.readAll();
        if (written != stored) {
            QFile actual(name + QStringLiteral(".actual"));
            if (actual.open(QIODevice::WriteOnly))
                actual.write(written);
        }
        EXPECT_TRUE(written == stored) << "differs from " << name.toStdString() << "; saved as " << name.toStdString()
                                       << ".actual in the test's folder";
    }
    std::vector<InvalRecord> twoDisabled() const
    {
        return {Inval(QStringLiteral("Волков,Виктор,Сергеевич"), QStringLiteral("16.02.10"),
                      cp(QStringLiteral("бессрочно")) + '\0', {120'000, 20'000, 20'000, 20'000}),
                Inval(QStringLiteral("Григорьев,Глеб,Ильич"), QStringLiteral("05.03.87"), "01.02.2011",
                      {20'000, 10'000, 10'000, 0})};
    }

    PayrollDoc doc;
    ReportSelection selection;
};

TEST_F(PensionXml, Year2010WithoutTheReducedTariff)
{
    // The first quarter (a period ending in February counts as one); no
    // payments to disabled employees, and the Article 57/58 incomes are not
    // written before 2011.
    setYear(2010, 2);
    for (int i = TariffIndex(kDisabledTariff, 0); i < kInsuredPersons; ++i) doc.GenrValues[std::size_t(i)] = 0;
    expectGolden(bytes(), QStringLiteral("PFR-700-2010.XML"));
}

TEST_F(PensionXml, Year2011WithDisabledEmployeesAndArticles57And58)
{
    setYear(2011, 11);
    for (int i = 208; i < 272; ++i) doc.GenrValues[std::size_t(i)] = 2'000 + i;
    doc.infoBase.firm.texts[FirmInfo::fioPredst] = QStringLiteral("Кудрявцева  Ирина Николаевна");
    doc.infoBase.firm.uproshWord = 0x1000;
    selection.orgPackNumber = 7;
    selection.deptCode = 45;
    expectGolden(bytes(twoDisabled()), QStringLiteral("PFR-700-2011.XML"));
}

TEST_F(PensionXml, FileName)
{
    setYear(2010, 3);
    EXPECT_EQ(OVPFXmlFileName(selection, doc),
              QStringLiteral("PFR-700-Y-2010-ORG-087-105-012345-DCK-00001-DPT-000000-DCK-00000.XML"));
    // Numbers above the 16 bits of the old selection block are kept.
    selection.orgPackNumber = 40'000;
    selection.deptCode = 999'999;
    selection.deptPackNumber = 99'999;
    EXPECT_EQ(OVPFXmlFileName(selection, doc),
              QStringLiteral("PFR-700-Y-2010-ORG-087-105-012345-DCK-40000-DPT-999999-DCK-99999.XML"));
    // A registration number of another form, or cut short, is all zeros.
    selection = {};
    for (const char* bad : {"087105012345", "087-105-0123", "08-7105-012345"}) {
        doc.infoBase.firm.texts[FirmInfo::firmPens] = QString::fromLatin1(bad);
        EXPECT_EQ(OVPFXmlFileName(selection, doc),
                  QStringLiteral("PFR-700-Y-2010-ORG-000-000-000000-DCK-00001-DPT-000000-DCK-00000.XML"))
            << bad;
        EXPECT_TRUE(bytes().contains("000-000-000000</")) << bad;
    }
}

TEST_F(PensionXml, PagesReducedTariffAndNames)
{
    setYear(2011, 6);
    const std::vector<InvalRecord> two = twoDisabled();
    const auto pages = [&](std::size_t records) {
        std::vector<InvalRecord> inval;
        for (std::size_t i = 0; i < records; ++i) inval.push_back(two[i % 2]);
        const QString xml = text(bytes(inval));
        const qsizetype at = xml.indexOf(QStringLiteral("<КоличествоСтраниц>")) + 19;
        return xml.mid(at, xml.indexOf(u'<', at) - at).toInt();
    };
    // Payments to disabled employees: 5 pages, and one more for every 32
    // disabled employees after the first 32.
    EXPECT_EQ(pages(0), 5);
    EXPECT_EQ(pages(31), 5);
    EXPECT_EQ(pages(32), 5);
    EXPECT_EQ(pages(33), 6);
    EXPECT_EQ(pages(65), 7);
    doc.GenrValues[std::size_t(TariffIndex(kDisabledTariff, RowPayments))] = 0;
    EXPECT_EQ(pages(0), 3);

    // Only the ЕНВД section: the reduced-tariff element holds it alone.
    doc.GenrValues[std::size_t(TariffIndex(kImputedTariff, RowPayments))] = 5;
    QString xml = text(bytes());
    EXPECT_TRUE(xml.contains(
        QStringLiteral("<РасчетСтраховыхВзносовПоПониженномуТарифу>\r\n\t\t\t\t<РасчетПоВыплатамРаботникамЕНВД>")));
    EXPECT_FALSE(xml.contains(QStringLiteral("РасчетПоВыплатамРаботникамИнвалидам")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<КодСтроки>350</КодСтроки>")));
    doc.GenrValues[std::size_t(TariffIndex(kImputedTariff, RowPayments))] = 0;
    EXPECT_FALSE(text(bytes()).contains(QStringLiteral("ПониженномуТарифу")));

    // A name without commas keeps its surname; nothing past the 50 bytes
    // of the field is read.
    std::vector<InvalRecord> odd = {Inval(QStringLiteral("Иванов"), QString(), QByteArray(), {1, 1, 0, 0}),
                                    Inval(QString(50, u'Ж'), QStringLiteral("1.1.11"), "          ", {1, 0, 1, 0})};
    xml = text(bytes(odd));
    EXPECT_TRUE(xml.contains(QStringLiteral(
        "<Фамилия>ИВАНОВ</Фамилия>\r\n\t\t\t\t\t\t\t<Имя></Имя>\r\n\t\t\t\t\t\t\t<Отчество></Отчество>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<Фамилия>") + QString(50, u'Ж') + QStringLiteral("</Фамилия>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<ДатаВыдачиСправки></ДатаВыдачиСправки>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<ДатаОкончанияДействия></ДатаОкончанияДействия>")));

    // A settlement without an abbreviation; a village; a one-word
    // representative; a firm name with the characters of XML markup.
    FirmInfo& f = doc.infoBase.firm;
    f.texts[FirmInfo::adrGorod] = QStringLiteral("Ильинское с");
    f.texts[FirmInfo::adrObl] = QStringLiteral("Москва");
    f.texts[FirmInfo::fioPredst] = QStringLiteral("Кудрявцева");
    f.texts[FirmInfo::firmName] = QStringLiteral("ООО \"Рога & копыта\" <Север>");
    xml = text(bytes());
    EXPECT_TRUE(xml.contains(QStringLiteral("<НаселенныйПункт>\r\n\t\t\t\t\t\t<ГеографическоеНазвание>ИЛЬИНСКОЕ</"
                                            "ГеографическоеНазвание>\r\n\t\t\t\t\t\t<Сокращение>С</Сокращение>")));
    EXPECT_TRUE(xml.contains(QStringLiteral(
        "<ГеографическоеНазвание>МОСКВА</ГеографическоеНазвание>\r\n\t\t\t\t\t\t<Сокращение></Сокращение>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<ЛицоПодтверждающееСведения>2</"
                                            "ЛицоПодтверждающееСведения>\r\n\t\t\t<ФИОлицаПодтверждающегоСведения>"
                                            "\r\n\t\t\t\t<Фамилия>КУДРЯВЦЕВА</Фамилия>\r\n\t\t\t\t<Имя></Имя>")));
    EXPECT_TRUE(xml.contains(
        QStringLiteral("<НаименованиеОрганизации>ООО \"РОГА &amp; КОПЫТА\" &lt;СЕВЕР&gt;</НаименованиеОрганизации>")));
    f.texts[FirmInfo::firmName] = QStringLiteral("ооо  «ёлочка»");
    EXPECT_TRUE(
        text(bytes()).contains(QStringLiteral("<НаименованиеОрганизации>ООО «ЁЛОЧКА»</НаименованиеОрганизации>")));
    f.texts[FirmInfo::adrGorod] = QStringLiteral("Кратово пгт");
    EXPECT_TRUE(text(bytes()).contains(
        QStringLiteral("<Город>\r\n\t\t\t\t\t\t<ГеографическоеНазвание>КРАТОВО</ГеографическоеНазвание>")));
}

// Russians write the kind of a place before its name as often as after it,
// with or without dots: the fund's file takes the name and the abbreviation
// apart either way, and a town goes into "Город".
TEST_F(PensionXml, AddressesSplitTheAbbreviationAtEitherEnd)
{
    setYear(2011, 9);
    FirmInfo& f = doc.infoBase.firm;
    const auto place = [](const char16_t* element, const char16_t* name, const char16_t* abbreviation) {
        return QStringLiteral("<%1>\r\n\t\t\t\t\t\t<ГеографическоеНазвание>%2</ГеографическоеНазвание>\r\n"
                              "\t\t\t\t\t\t<Сокращение>%3</Сокращение>\r\n\t\t\t\t\t</%1>")
            .arg(QString::fromUtf16(element), QString::fromUtf16(name), QString::fromUtf16(abbreviation));
    };
    const struct {
        FirmInfo::Text field;
        const char16_t* typed;
        const char16_t* element;
        const char16_t* name;
        const char16_t* abbreviation;
    } cases[] = {
        {FirmInfo::adrUlica, u"ул. Промышленная", u"Улица", u"ПРОМЫШЛЕННАЯ", u"УЛ"},
        {FirmInfo::adrUlica, u"Промышленная ул.", u"Улица", u"ПРОМЫШЛЕННАЯ", u"УЛ"},
        {FirmInfo::adrUlica, u"ул.Ленина", u"Улица", u"ЛЕНИНА", u"УЛ"},
        {FirmInfo::adrUlica, u"пр-кт Победы", u"Улица", u"ПОБЕДЫ", u"ПР-КТ"},
        {FirmInfo::adrUlica, u"Садовая", u"Улица", u"САДОВАЯ", u""},
        {FirmInfo::adrUlica, u"Героев Труда", u"Улица", u"ГЕРОЕВ ТРУДА", u""},
        {FirmInfo::adrGorod, u"г. Вологда", u"Город", u"ВОЛОГДА", u"Г"},
        {FirmInfo::adrGorod, u"Вологда г.", u"Город", u"ВОЛОГДА", u"Г"},
        {FirmInfo::adrGorod, u"д. Марфино", u"НаселенныйПункт", u"МАРФИНО", u"Д"},
        {FirmInfo::adrObl, u"Вологодская обл.", u"Регион", u"ВОЛОГОДСКАЯ", u"ОБЛ"},
        {FirmInfo::adrObl, u"обл Вологодская", u"Регион", u"ВОЛОГОДСКАЯ", u"ОБЛ"},
        {FirmInfo::adrRaion, u"Шекснинский р-н", u"Район", u"ШЕКСНИНСКИЙ", u"Р-Н"},
        // An abbreviation before a hyphen is part of the name.
        {FirmInfo::adrObl, u"С.-Петербург", u"Регион", u"С.-ПЕТЕРБУРГ", u""},
        // Both ends could hold one: the street's own word at the end wins
        // over an initial or another level's word at the start.
        {FirmInfo::adrUlica, u"П.Лумумбы ул", u"Улица", u"П.ЛУМУМБЫ", u"УЛ"},
        {FirmInfo::adrUlica, u"С.Перовской ул.", u"Улица", u"С.ПЕРОВСКОЙ", u"УЛ"},
        {FirmInfo::adrUlica, u"Д.Бедного ул", u"Улица", u"Д.БЕДНОГО", u"УЛ"},
        {FirmInfo::adrUlica, u"Край Земли ул", u"Улица", u"КРАЙ ЗЕМЛИ", u"УЛ"},
        // Both ends hold a word of the field's level: the start wins. "Г"
        // names a region too (a city of federal significance).
        {FirmInfo::adrUlica, u"ул. 2-я Линия", u"Улица", u"2-Я ЛИНИЯ", u"УЛ"},
        {FirmInfo::adrObl, u"Г. Москва обл", u"Регион", u"МОСКВА ОБЛ", u"Г"},
        // One abbreviation at the start, with or without a blank.
        {FirmInfo::adrGorod, u"Г.Москва", u"Город", u"МОСКВА", u"Г"},
    };
    for (const auto& c : cases) {
        const QString before = f.texts[c.field];
        f.texts[c.field] = QString::fromUtf16(c.typed);
        const QString xml = text(bytes());
        EXPECT_TRUE(xml.contains(place(c.element, c.name, c.abbreviation)))
            << QString::fromUtf16(c.typed).toStdString();
        f.texts[c.field] = before;
    }
}

TEST_F(PensionXml, WrittenIntoTheFolderWithTheBareNameInside)
{
    setYear(2011, 3);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    platform::SetWorkingFolder(dir.path());
    ScopedToday today(QDate(2011, 4, 20));
    const QString name = QStringLiteral("PFR-700-Y-2011-ORG-087-105-012345-DCK-00001-DPT-000000-DCK-00000.XML");

    // An empty folder is the working folder; "inval" is read from there.
    ASSERT_EQ(WriteInvalFile(InvalFilePath(), twoDisabled()), 0);
    QString written;
    ASSERT_EQ(WriteOVPFXml(selection, QString(), doc, &written), 0);
    EXPECT_EQ(written, dir.filePath(name));
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString xml = text(file.readAll());
    EXPECT_TRUE(xml.contains(QStringLiteral("\t<ИмяФайла>") + name + QStringLiteral("</ИмяФайла>\r\n")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<КоличествоРаботниковИнвалидов>2</КоличествоРаботниковИнвалидов>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<ДатаЗаполнения>20.04.2011</ДатаЗаполнения>")));

    // A folder given with a separator or without one.
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    ASSERT_EQ(WriteOVPFXml(selection, dir.filePath(QStringLiteral("out")), doc, &written), 0);
    EXPECT_EQ(written, dir.filePath(QStringLiteral("out/")) + name);
    ASSERT_EQ(WriteOVPFXml(selection, dir.filePath(QStringLiteral("out/")), doc, &written), 0);
    EXPECT_EQ(written, dir.filePath(QStringLiteral("out/")) + name);

    // A folder that does not exist: the caller hears of it, nothing is left.
    EXPECT_EQ(WriteOVPFXml(selection, dir.filePath(QStringLiteral("missing")), doc, &written),
              platform::FILE_ERROR_OPEN);
    EXPECT_FALSE(QFile::exists(written));

    // Without "inval": no disabled employees listed.
    QFile::remove(InvalFilePath());
    ASSERT_EQ(WriteOVPFXml(selection, QString(), doc, &written), 0);
    QFile again(written);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_FALSE(text(again.readAll()).contains(QStringLiteral("СведенияДляПримененияПониженногоТарифа")));
    platform::SetWorkingFolder(QString());
}

#ifdef KALVOR_DATA_DIR
// The demo base's first quarter of 2011: computed, written, and read back
// as XML after decoding from windows-1251.
TEST(PensionXmlDemo, FirstQuarterOf2011ParsesAsXml)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder, testsupport::DemoRefFiles::TaxTables));
    platform::SetWorkingFolder(folder);

    ReportSelection selection;
    const int result = CalcOVPF(selection, doc, QString(), 0, {});
    QString path;
    const int written = result == 0 ? WriteOVPFXml(selection, QString(), doc, &path) : -1;
    CloseBase(doc.infoBase);
    platform::SetWorkingFolder(QString());
    ASSERT_EQ(result, 0);
    ASSERT_EQ(written, 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"));
    QXmlStreamReader reader(codepage::fromCp1251(bytes));
    QMap<QString, QString> leaves;
    QString element;
    int insuredPersons = -1;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement())
            element = reader.name().toString();
        else if (reader.isCharacters() && !reader.isWhitespace() && !leaves.contains(element))
            leaves.insert(element, reader.text().toString());
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString() << " at line " << reader.lineNumber();
    insuredPersons = leaves.value(QStringLiteral("КоличествоЗЛ")).toInt();
    EXPECT_EQ(leaves.value(QStringLiteral("КалендарныйГод")), QStringLiteral("2011"));
    EXPECT_EQ(leaves.value(QStringLiteral("КодОтчетногоПериода")), QStringLiteral("03"));
    EXPECT_EQ(leaves.value(QStringLiteral("ВерсияФормата")), QStringLiteral("07.00"));
    EXPECT_GE(insuredPersons, 40);
    EXPECT_GT(doc.GenrValues[kLine110], 0);
    EXPECT_GT(doc.GenrValues[std::size_t(TariffIndex(kDisabledTariff, RowPayments))], 0);
    EXPECT_TRUE(leaves.contains(QStringLiteral("КоличествоРаботниковИнвалидов")));
}
#endif

} // namespace
