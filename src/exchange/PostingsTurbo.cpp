#include "exchange/PostingsTurbo.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "infobase/SwapFile.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/SavedFile.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <memory>
#include <utility>
#include <vector>

namespace kalvor::exchange {

namespace {

constexpr int kNameWidth = 20;
// The pay kind (by its number in the book) whose name stands for a code without one.
constexpr int kStandInNumber = 996;

const char* const kQuestion = "Коммутация с Турбо-бухгалтером ?";
const char* const kDone = "Порядок!";

const char* const kChartHeader = "-- Для использования данного плана счетов при составлении баланса\r\n"
                                 "-- предприятия необходимо символы '000 000' заменить на реальные\r\n"
                                 "-- коды строк баланса для отнесения остатков. Пример:\r\n\r\n"
                                 "-- До:\r\n"
                                 "-- 0026  000 000\r\n\r\n"
                                 "-- После:\r\n"
                                 "-- 0026  214  000\r\n\r\n";

// One record of the summary's file, its blanks read as "0".
struct TurboRecord {
    QByteArray account, subaccount, analytics; // four characters each
    int code = 0;
    double amount = 0; // roubles

    bool accrual() const { return code < kFirstDeductionCode; }
};

// A decimal text as a number; text that does not parse gives 0.
template <class Number>
Number ParseNumber(const QByteArray& text)
{
    Number value{};
    const std::from_chars_result result = std::from_chars(text.constData(), text.constData() + text.size(), value);
    return result.ec == std::errc() ? value : Number{};
}

TurboRecord ReadRecord(const char* bytes)
{
    QByteArray record(bytes, kTurboRecordSize);
    record.replace(' ', '0');
    return {record.mid(0, 4), record.mid(5, 4), record.mid(10, 4), ParseNumber<int>(record.mid(15, 4)),
            ParseNumber<double>(record.mid(20, 15))};
}

// A posting line of the journal, accrual (credit 70 on the record's
// account) or deduction (debit on it).
QByteArray PostingLine(bool accrual, double amount, const TurboRecord& keys, char separator, const QByteArray& text)
{
    const QByteArray account = keys.account + separator + keys.subaccount;
    const QByteArray accounts =
        accrual ? "      70         " + account + "    " : "    " + account + "      70         ";
    return ": " + FormatFixed8(amount, 2, 16) + accounts + "{" + keys.analytics + "} -- " + text + "\r\n";
}

// The conversion's state: the last analytics, account and sub-account, and
// the group being summed with its sign.
class TurboConverter {
public:
    TurboConverter(const PayrollDoc& doc, const QDate& today);
    void Add(const TurboRecord& record);
    TurboFiles Finish();

private:
    QByteArray KindName(int code) const;
    void WriteGroup();

    const PayrollDoc& m_doc;
    const char m_separator;
    const bool m_perRecord;
    QByteArray m_groupText[2]; // deductions, accruals
    TurboFiles m_files;
    TurboRecord m_last{"    ", "    ", "    ", 0, 0};
    char m_sign = ' ';
    double m_sum = 0;
};

TurboConverter::TurboConverter(const PayrollDoc& doc, const QDate& today)
    : m_doc(doc), m_separator(doc.infoBase.firm.versTurboBuh() ? '.' : '_'), m_perRecord(doc.infoBase.firm.c1TypProv())
{
    const QByteArray base = codepage::toCp1251(QDir::toNativeSeparators(TurboBasePath(doc)));
    m_groupText[0] = codepage::toCp1251(QStringLiteral("Удержания из з/п (база данных '")) + base + "')";
    m_groupText[1] = codepage::toCp1251(QStringLiteral("Начисления по з/п (база данных '")) + base + "')";
    m_files.journal = today.toString(QStringLiteral("dd.MM.yy")).toLatin1().left(8) + "\r\n";
    m_files.chart = codepage::toCp1251(QString::fromUtf8(kChartHeader));
}

QByteArray TurboConverter::KindName(int code) const
{
    const infobase::PayKind* kind = PayKindOf(m_doc, code);
    if (kind == nullptr && m_doc.infoBase.holdsPayKind(kStandInNumber))
        kind = &m_doc.infoBase.payKindAt(kStandInNumber);
    const QString name = kind != nullptr ? kind->name : QString();
    return codepage::toCp1251(name).leftJustified(kNameWidth, ' ', true);
}

void TurboConverter::WriteGroup()
{
    if (RoundThroughText(m_sum, 2) == 0)
        return;
    const bool accrual = m_sign == '+';
    m_files.journal += PostingLine(accrual, m_sum, m_last, m_separator, m_groupText[accrual ? 1 : 0]);
}

void TurboConverter::Add(const TurboRecord& record)
{
    const char sign = record.accrual() ? '+' : '-';
    bool newGroup = sign != m_sign;
    if (record.analytics != m_last.analytics) {
        m_files.analytics += record.analytics + "\r\n";
        newGroup = true;
    }
    if (record.account != m_last.account || record.subaccount != m_last.subaccount) {
        m_files.chart += record.account + m_separator + record.subaccount + " 000 000\r\n";
        newGroup = true;
    }
    if (m_perRecord) {
        const bool accrual = record.accrual() && record.code != kCodeUnpaid;
        m_files.journal += PostingLine(accrual, record.amount, record, m_separator, KindName(record.code));
        m_last = record;
        return;
    }
    if (!newGroup) {
        m_sum += record.amount;
        return;
    }
    WriteGroup();
    m_last = record;
    m_sign = sign;
    m_sum = record.amount;
}

TurboFiles TurboConverter::Finish()
{
    if (!m_perRecord)
        WriteGroup();
    return m_files;
}

// Writes the three files under temporary names; renames them only when all
// are written.
void WriteTurboFiles(const PayrollDoc& doc, const TurboFiles& files)
{
    const std::pair<const char*, const QByteArray*> parts[] = {
        {"sig", &files.analytics}, {"lis", &files.chart}, {"jur", &files.journal}};
    std::vector<std::unique_ptr<platform::SavedFile>> saved;
    for (const auto& [extension, bytes] : parts) {
        auto file = std::make_unique<platform::SavedFile>(TurboFilePath(doc, QString::fromLatin1(extension)));
        if (!file->open(QIODevice::WriteOnly) || file->write(*bytes) != bytes->size())
            throw TextError(file->failureText());
        saved.push_back(std::move(file));
    }
    for (const auto& file : saved)
        if (!file->commit())
            throw TextError(file->failureText());
}

} // namespace

QString TurboBasePath(const PayrollDoc& doc)
{
    QString report = doc.FormatBaseFileName();
    const QString suffix = QFileInfo(report).suffix();
    if (!suffix.isEmpty())
        report.chop(suffix.size() + 1);
    return report;
}

QString TurboFilePath(const PayrollDoc& doc, const QString& extension)
{
    return TurboBasePath(doc) + QLatin1Char('.') + extension;
}

TurboFiles ConvertSummaryToTurbo(const QByteArray& records, const PayrollDoc& doc, const QDate& today)
{
    TurboConverter converter(doc, today);
    const qsizetype count = records.size() / kTurboRecordSize;
    for (qsizetype index = 0; index < count; ++index)
        converter.Add(ReadRecord(records.constData() + index * kTurboRecordSize));
    return converter.Finish();
}

int ExportPostingsTurbo(PayrollDoc& doc, PostingsConversation& owner)
{
    if (!owner.Ask(QString::fromUtf8(kQuestion)))
        return 0;
    QFile summary(doc.SummaryFile());
    if (!summary.open(QIODevice::ReadOnly))
        throw TextErrorWithPath(infobase::OpenFileErrorText, summary.fileName());
    const QByteArray records = summary.readAll();
    summary.close();
    WriteTurboFiles(doc, ConvertSummaryToTurbo(records, doc, Clock::today()));
    owner.Tell(QString::fromUtf8(kDone));
    infobase::SaveFirm(doc.infoBase);
    return 0;
}

} // namespace kalvor::exchange
