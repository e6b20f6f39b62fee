#include "StatementTestDoc.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

namespace kalvor::printtest {

using namespace kalvor::infobase;

namespace {

const char16_t* const kSurnames[] = {
    u"Алексеев", u"Белова",   u"Васильев", u"Григорьева", u"Данилов",  u"Егорова",  u"Жуков",
    u"Зайцева",  u"Ильин",    u"Козлова",  u"Лебедев",    u"Морозова", u"Никитин",  u"Орлова",
    u"Павлов",   u"Романова", u"Соколов",  u"Тимофеева",  u"Ушаков",   u"Фёдорова", u"Константинопольский"};
const char16_t kInitials[] = u"АБВГДЕИКЛМНОПРСТ";

QString ShortName(int index)
{
    const QString surname = QString::fromUtf16(kSurnames[index % int(std::size(kSurnames))]);
    const QChar first(kInitials[index % 16]), second(kInitials[(index * 7 + 3) % 16]);
    return QStringLiteral("%1 %2.%3.").arg(surname).arg(first).arg(second);
}

} // namespace

void BuildStatementDoc(PayrollDoc& doc, const std::vector<StatementEmployee>& employees)
{
    CInfoBase& base = doc.infoBase;
    base.config.kolMax = u16(employees.size() + 5);
    base.config.tekMes = u16(2011 * 16 + 4);
    base.AllocateTables(base.config.kolMax);
    base.firm.texts[FirmInfo::firmName] = QStringLiteral("ООО «Северная механика» Вологодский машиностроительный");
    base.firm.texts[FirmInfo::statusShef] = QStringLiteral("Директор");
    base.firm.texts[FirmInfo::fioShef] = QStringLiteral("Воронцов Андрей Викторович");
    base.firm.texts[FirmInfo::fioBuh] = QStringLiteral("Кудрявцева Ирина Николаевна");
    base.firm.texts[FirmInfo::buhFio] = QStringLiteral("Кудрявцева И. Н.");
    base.firm.texts[FirmInfo::kassirDolg] = QStringLiteral("Кассир");
    base.firm.texts[FirmInfo::kassirFio] = QStringLiteral("Зуева Л. И.");
    base.shopAt(1) = {1, QStringLiteral("Заводоуправление")};
    base.shopAt(2) = {2, QStringLiteral("Механосборочный цех № 2 (участок точного литья)")};
    base.list.clear();
    for (int i = 0; i < int(employees.size()); ++i) {
        const StatementEmployee& e = employees[std::size_t(i)];
        const int slot = i + 1;
        EmployeeListEntry entry;
        entry.setTabN(u16(e.personnelNumber));
        entry.slot = u16(slot);
        base.list.push_back(entry);
        base.shortNameOf(slot) = ShortName(i);
        base.shopOf(slot) = u8(e.shop);
        base.attributesOf(slot).brig = i8(e.brigade);
        base.avOf(slot) = e.advance;
    }
}

std::vector<StatementEmployee> NumberedEmployees(int count)
{
    std::vector<StatementEmployee> employees;
    for (int i = 0; i < count; ++i) employees.push_back({101 + i, 1, 0, 100'050.0 + 100.0 * i});
    return employees;
}

std::vector<EmployeeRecord> StatementRecords(const PayrollDoc& doc)
{
    const CInfoBase& base = doc.infoBase;
    std::vector<EmployeeRecord> records(std::size_t(base.capacity()));
    for (int i = 0; i < int(base.list.size()); ++i) {
        EmployeeHead& head = records[std::size_t(base.list[std::size_t(i)].slot - 1)].head;
        head.fio = QString::fromUtf16(kSurnames[i % int(std::size(kSurnames))]) + QStringLiteral(" Андрей Викторович");
        head.pspKod = QStringLiteral("21");
        head.pspSer = QStringLiteral("19 03");
        head.pspNom = QString::number(512'340 + i);
        head.pspDat = QStringLiteral("12.05.2003");
        head.pspKem = QStringLiteral("ОВД г. Вологды");
    }
    return records;
}

void StoreInNewBase(PayrollDoc& doc, const QString& folder, const std::vector<EmployeeRecord>& records)
{
    CInfoBase& base = doc.infoBase;
    doc.setWorkFolder(folder + QLatin1Char('/'));
    base.baseName = QStringLiteral("orders");
    CreateSchemaBase(folder, base.baseName);
    // Opening reads the new base's settings and firm; the document's own are
    // kept by opening through a second in-memory base of the same file.
    CInfoBase opened;
    opened.workFolder = base.workFolder;
    opened.baseName = base.baseName;
    OpenBase(opened);
    SaveAll(base, records);
}

void ExpectGolden(const char* name, const QByteArray& actual)
{
    QFile file(QStringLiteral(KALVOR_SOURCE_DIR "/tests/print/golden/") + QLatin1String(name));
    if (qEnvironmentVariableIsSet("KALVOR_UPDATE_GOLDEN")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(actual);
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    const QList<QByteArray> expected = file.readAll().split('\n');
    const QList<QByteArray> lines = actual.split('\n');
    for (int i = 0; i < std::min(expected.size(), lines.size()); ++i)
        ASSERT_EQ(codepage::fromCp1251(lines[i]), codepage::fromCp1251(expected[i])) << name << " line " << i + 1;
    EXPECT_EQ(lines.size(), expected.size()) << name;
}

} // namespace kalvor::printtest
