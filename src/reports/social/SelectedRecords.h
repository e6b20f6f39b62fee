#pragma once
// The records of the employees that a report run selected into the work
// file, each read from the file once and kept in memory, so that the month
// passes of the yearly reports, which go through every employee once a
// month, make each one the current record again without reading and
// unpacking his slot a dozen times.
#include "infobase/InfoBase.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace kalvor::reports {

class SelectedRecords {
public:
    // Makes the slot's record the base's current record, exactly as reading
    // the slot from the work file gives it: read from the file the first
    // time, from memory after. Throws TextError "Ошибка чтения файла" when
    // the slot cannot be read. Nothing but these loads may change the
    // current record's archive while a run uses them.
    void load(infobase::CInfoBase& base, int slot);

private:
    struct Kept {
        std::optional<infobase::EmployeeRecord> record; // its archive is kept apart, in `archive`
        std::vector<infobase::WariaEntry> archive; // up to the last entry that is not blank
    };
    void keep(Kept& kept, infobase::EmployeeRecord& current);
    void restore(const Kept& kept, infobase::EmployeeRecord& current);

    infobase::BySlot<Kept> bySlot_;
    // The current record's archive entries from here on are blank.
    std::size_t blankFrom_ = 0;
};

} // namespace kalvor::reports
