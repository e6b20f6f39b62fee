#pragma once
// The reference files of the working folder and the tables read from them.
// Texts are blank-padded windows-1251. Each counted file is its count
// followed by every slot of the table (used and free), so the file size is
// fixed; "country" is a plain list of 53-byte records. Layouts:
// docs/record-layouts.md.
#include "infobase/BySlot.h"
#include "infobase/Records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace kalvor::infobase {

struct ProfessionRecord { // "profi", 28 bytes
    i16 code = 0;
    QString name; // 26 bytes
    static constexpr std::size_t Size = 28;
    static_assert(2 + 26 == Size);
    bool isEmpty() const { return code == 0 && name.trimmed().isEmpty(); }
    friend bool operator==(const ProfessionRecord&, const ProfessionRecord&) = default;
};

struct PositionRecord { // "post", 36 bytes
    i16 code = 0;
    QString name; // 26 bytes
    double salary = 0; // kopecks
    static constexpr std::size_t Size = 36;
    static_assert(2 + 26 + 8 == Size);
    bool isEmpty() const { return code == 0 && name.trimmed().isEmpty() && salary == 0; }
    friend bool operator==(const PositionRecord&, const PositionRecord&) = default;
};

struct RankRecord { // "title", 27 bytes
    i16 code = 0;
    QString name; // 17 bytes
    double salary = 0;
    static constexpr std::size_t Size = 27;
    static_assert(2 + 17 + 8 == Size);
    bool isEmpty() const { return code == 0 && name.trimmed().isEmpty() && salary == 0; }
    friend bool operator==(const RankRecord&, const RankRecord&) = default;
};

struct DeductionKind { // "vichet", 40 bytes
    u16 code = 0;
    QString name; // 20 bytes
    double monthly = 0; // kopecks
    double limit = 0; // kopecks, 0 = none
    static constexpr std::size_t Size = 40;
    static_assert(2 + 20 + 8 + 8 + 2 /*spare*/ == Size);
    bool isEmpty() const { return code == 0 && name.trimmed().isEmpty(); }
    friend bool operator==(const DeductionKind&, const DeductionKind&) = default;
};

struct DeductionKindBook {
    static constexpr int Capacity = 25;
    u8 count = 0;
    std::array<DeductionKind, Capacity> records{};
    friend bool operator==(const DeductionKindBook&, const DeductionKindBook&) = default;
};

struct CountryRecord { // "country", 53 bytes: 3-digit code, 50-character name
    QString code, name;
    static constexpr std::size_t Size = 53;
    friend bool operator==(const CountryRecord&, const CountryRecord&) = default;
};

class CRefFiles {
public:
    static constexpr int NalogCount = 20;
    static constexpr int BookCapacity = 128;
    static constexpr int SborCapacity = 15;
    static constexpr int BankCount = 148;

    // The nine files that archives carry, and the list of countries.
    static QStringList FileNames();

    explicit CRefFiles(QString folder = QString()) : folder_(std::move(folder)) {}
    void setFolder(const QString& folder) { folder_ = folder; }
    QString path(const QString& name) const { return folder_ + name; }

    // Reads the nine files and "country" into empty tables. A missing or
    // damaged file (of the wrong size, unreadable, a folder in its place)
    // leaves its table empty and is noted (Problems()); nothing is thrown.
    // Returns false when one of the nine was not read.
    bool OpenAll();
    void CloseAll();
    // What kept a file from being read at the last OpenAll: "Не найден файл
    // справочника <path>" or the read error naming the path; empty when it
    // was read.
    QString Problem(const QString& name) const;
    // The problems of the named files (all nine when none are named), one line
    // per file in the order of FileNames().
    QStringList Problems(const QStringList& names = QStringList()) const;

    bool ReadNalog();
    bool ReadProfi();
    bool ReadPost();
    bool ReadTitle();
    bool ReadVichet();
    bool ReadSbor();
    bool ReadBank();
    bool ReadCountry();

    // Each writer rewrites its file through a temporary name; a failure throws
    // InfoBaseError "Ошибка записи в файл <path>" with why on a line of its
    // own ("Недостаточно места на диске") and leaves the old file.
    void WriteNalog() const;
    void WriteProfi() const;
    void WritePost() const;
    void WriteTitle() const;
    void WriteVichet() const;
    void WriteSbor() const;
    void WriteBank() const;
    void WriteOpaque() const;

    std::array<TaxTable, NalogCount> nalog{};
    u16 nalogCount = NalogCount;
    std::array<ProfessionRecord, BookCapacity> profi{};
    u16 profiCount = 0;
    std::array<PositionRecord, BookCapacity> post{};
    u16 postCount = 0;
    std::array<RankRecord, BookCapacity> title{};
    u16 titleCount = 0;
    DeductionKindBook vichet;
    std::array<ContributionKind, SborCapacity> sbor{};
    u16 sborCount = 0;
    // Tax table number `number` (1 .. NalogCount); out of range stops a debug
    // build.
    static bool holdsTaxTable(int number) { return SlotInRange(number, NalogCount); }
    TaxTable& taxTableAt(int number) { return nalog[SlotPlace(number, NalogCount)]; }
    const TaxTable& taxTableAt(int number) const { return nalog[SlotPlace(number, NalogCount)]; }
    // The number of tax tables the file holds: a walk over them takes the
    // numbers 1 .. taxTableCount().
    int taxTableCount() const { return std::min<int>(nalogCount, NalogCount); }
    // The recipient numbered `number` (1 .. BankCount) in the book; out of
    // range stops a debug build.
    static bool holdsRecipient(int number) { return SlotInRange(number, BankCount); }
    TransferRecipient& recipientAt(int number) { return recipients_[SlotPlace(number, BankCount)]; }
    const TransferRecipient& recipientAt(int number) const { return recipients_[SlotPlace(number, BankCount)]; }
    // The whole book in number order, the first recipient's first, for a walk
    // over it; a recipient is changed through recipientAt.
    const std::array<TransferRecipient, BankCount>& recipients() const { return recipients_; }
    QByteArray lazer, palitra;
    std::vector<CountryRecord> country;

private:
    QString folder_;
    std::array<TransferRecipient, BankCount> recipients_{};
    std::map<QString, QString> problems_; // file name -> what kept it from being read
};

// Sort orders of the books: by code, empty records last; tax bands by lower bound, empty last.
bool CompareNalogRecords(const TaxScaleBand& a, const TaxScaleBand& b);
bool CompareProfiRecords(const ProfessionRecord& a, const ProfessionRecord& b);
bool ComparePostRecords(const PositionRecord& a, const PositionRecord& b);
bool CompareTitleRecords(const RankRecord& a, const RankRecord& b);
bool CompareVichetRecords(const DeductionKind& a, const DeductionKind& b);

} // namespace kalvor::infobase
