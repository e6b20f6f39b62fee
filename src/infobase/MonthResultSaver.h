#pragma once
// The saver of one employee's computed month (the calculation's store step).
#include "infobase/InfoBase.h"
#include "platform/DbTransaction.h"

#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kalvor::infobase {

class ComputedRowsGroup;

// What the month's calculation stores for the slot, together or not at all:
// the master row from the current record when withMaster, then the computed
// rows into dbo.zarp (as SaveKonst and SaveProizvZarpByRec with selector 1),
// and the slot's status word (dbo.comp) and amounts to pay (dbo.avzar1) as
// memory holds them, in one transaction (one savepoint inside a caller's
// batch). On a server, what is stored without the master row goes into
// `group` when one is given (sent with the group's other members); otherwise
// it is stored at once.
void SaveCalculatedMonth(CInfoBase& base, int slot, bool withMaster, ComputedRowsGroup* group = nullptr);

// On a server base, the computed rows (with the status words and amounts to
// pay) that SaveCalculatedMonth is given for the group are kept here and sent for a group of employees by one
// statement, inside the group's own scope of answers read later (opened on
// the base's connection for the group's lifetime): a statement's fixed cost
// on the server is paid once a group. The kept rows are sent before anything
// else runs on the connection, so the stores keep their order; after a
// failure they are dropped. On a base file it keeps nothing: the rows are
// stored at once, each employee's master row found by its slot among the ids
// read once for the group (a slot not among them is looked up by itself).
class ComputedRowsGroup {
public:
    // A group holds kFirstGroupSize employees, each next one twice as many
    // as the one before, up to kGroupSize: the first stores go early, and
    // the groups of a run grow by one for each doubling of its employees.
    static constexpr int kFirstGroupSize = 16, kGroupSize = 256;

    explicit ComputedRowsGroup(CInfoBase& base);
    ~ComputedRowsGroup();
    ComputedRowsGroup(const ComputedRowsGroup&) = delete;
    ComputedRowsGroup& operator=(const ComputedRowsGroup&) = delete;

    // The scope of answers read later that the group's batches are sent in.
    db::AnswersLater& later() { return m_later; }
    // Whether the group keeps rows (a server base).
    bool keeps() const;

    // The number (as AnswersLater::sent counts) of the batch that stores the
    // rows kept or sent last: once it is answered, they are stored.
    int storedByBatch() const;
    // After an answer read later failed: when the refused batch was a group,
    // its employees are stored again one at a time up to the first refused
    // one, whose failure ends it. Their slots, in order.
    std::vector<int> storeRefusedOneByOne();

    // SaveCalculatedMonth's: the computed rows of the current record (from
    // kvProizv on) with the slot's status word and amounts to pay, stored for
    // the slot together, kept for the group on a server.
    void store(const CInfoBase& base, int slot, int kvProizv);
    // The computed rows that the base holds for the slot's employee, as read
    // for the run (nullopt: not known). When the rows that store() is given
    // next for him are the same, his rows stay as they are. So does his
    // status row when the base holds it as memory does (the status rows are
    // read once, when the group is made): nothing the base holds already is
    // written again.
    void storedRowsAre(int slot, std::optional<NumberedRows> rows);

private:
    struct Kept;
    struct Sent;
    void keep(Kept member);
    void send();
    qint64 masterId(int slot);
    struct Stored;
    struct Statuses;
    Stored storedAlready(const CInfoBase& base, int slot, const NumberedRows& rows);

    QSqlDatabase m_db;
    db::AnswersLater m_later;
    std::vector<Kept> m_kept;
    std::deque<Sent> m_sent; // the groups sent whose answers may still be read
    std::unordered_map<int, qint64> m_ids; // base file: the master rows' ids by slot
    bool m_idsRead = false;
    int m_groupSize = kFirstGroupSize; // the employees of the group kept now
    int m_storedSlot = 0; // the employee whose stored rows are known, and those rows
    std::optional<NumberedRows> m_stored;
    std::unique_ptr<Statuses> m_statuses; // the status rows the base held when the group was made
};

// A row of later months that the month's run records as one of its results
// (the standing deductions' rest, the next month's debt): its code and the
// record of its origin (the row's hrRest).
struct RunRecordedRow {
    int code = 0;
    int origin = 0;
};

// The slot's employee keeps no results of the month: his computed rows go
// from the base and from the current record when it is his, and so does the
// row of later months the run recorded (`recorded`; the others stay); his
// amount to pay is 0; his status word is stored as memory holds it. One
// batch, all of it or nothing, so that on a server it is sent with the run's
// other stores.
void ClearCalculatedMonth(CInfoBase& base, int slot, RunRecordedRow recorded);

} // namespace kalvor::infobase
