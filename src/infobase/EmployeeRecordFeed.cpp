// The records of a run's employees handed over as the current record, read
// from the base without the swap work file.
#include "infobase/InfoBaseDbDetail.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "platform/DbTransaction.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <tuple>
#include <utility>

namespace kalvor::infobase {

using namespace detail;

namespace {

// A record read for the run, with the computed rows its base held then (as
// stored); those are not known (nullopt) for a record read on its own.
struct FedRecord {
    EmployeeRecord rec;
    std::optional<NumberedRows> results;
};

// On a server the records are read by the base's four record readers
// (CInfoBase::recordReaders), each on its session kept from run to run, which
// sees the base as the run's transaction sees it, a range of slots at a time
// (the ranges taken in turn), and wait in short queues: the server reads the
// next records while the engine computes and the run's own session writes.
// They are handed over in batches of a range's consecutive records, one lock
// and one notification a batch.
//
// What the readers and the run share is held by both (ReadersShare), so that
// a reader still opening its session when the reading ends may be left to
// end on its own: the opening of a session cannot be cut, and a server that
// hangs meanwhile would hold the run's end until it answered. Such a reader
// reads nothing once its session is open.
class ServerRecordReader {
public:
    using Readers = decltype(CInfoBase::recordReaders);

    // The records of the slots (rising) of the base in that view of it.
    ServerRecordReader(Readers& readers, const QString& base, const QString& view, std::vector<int> wanted)
        : m_share(std::make_shared<ReadersShare>(std::move(wanted))), m_stop(db::ServerStopScope::current())
    {
        // The readers wait on the server for the run: its stop ends their waits too.
        // A reader without a range is not asked at all: it would open a
        // session and a transaction for nothing.
        const std::stop_token stop = m_stop;
        for (std::size_t r = 0; r < kReaders; ++r) {
            ReadersShare& share = *m_share;
            const std::lock_guard lock(share.mutex);
            if (r >= share.ranges.size()) {
                share.parts[r].ended = true;
                continue;
            }
            const bool posted = readers[r].post([share = m_share, base, view, r, stop] {
                {
                    const db::ServerStopScope work(stop);
                    share->read(base, view, r);
                }
                const std::lock_guard done(share->mutex);
                --share->running;
                share->changed.notify_all();
            });
            if (posted) {
                ++share.running;
            } else {
                share.parts[r].ended = true;
                share.parts[r].failure = std::make_exception_ptr(
                    db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка базы данных"),
                                QStringLiteral("A record reader could not be started"), QStringLiteral("Kalvor.Db")));
            }
        }
    }
    // Ends the reading: waits for every reader but those still opening their
    // sessions, which end on their own.
    ~ServerRecordReader()
    {
        ReadersShare& share = *m_share;
        std::unique_lock lock(share.mutex);
        share.stop = true;
        share.changed.notify_all();
        share.changed.wait(lock, [&] { return share.running == share.opening; });
    }

    // The next record, in the order of the slots; throws what the reading met.
    void next(EmployeeRecord& rec, std::optional<NumberedRows>& results)
    {
        if (m_handedAt == m_handed.size())
            takeBatch();
        FedRecord& fed = m_handed[m_handedAt++];
        rec = std::move(fed.rec);
        results = std::move(fed.results);
        if (++m_taken == m_share->ranges[m_range].second)
            ++m_range;
    }

private:
    static constexpr std::size_t kReaders = std::tuple_size_v<Readers>, kFirstRange = 16, kRange = 128, kBatch = 16,
                                 kQueuedBatches = 4;
    using RecordBatch = std::vector<FedRecord>;

    // What one reader has read and not handed over yet, in batches that
    // never reach past the end of their range.
    struct Part {
        std::deque<RecordBatch> ready;
        bool ended = false;
        std::exception_ptr failure;
    };

    // What the run and its readers share, under `mutex`.
    struct ReadersShare {
        explicit ReadersShare(std::vector<int> slotsWanted) : wanted(std::move(slotsWanted)), parts(kReaders)
        {
            // The first range is short, so that the engine starts early; the
            // rest is read in ranges of equal size, as few as the readers left
            // and kRange allow, so that each costs the server's round trip once
            // (its statements do not grow with the employees up to that size).
            const std::size_t first = std::min(wanted.size(), kFirstRange), rest = wanted.size() - first;
            const std::size_t count = std::min(rest, std::max(kReaders - 1, (rest + kRange - 1) / kRange));
            if (first > 0)
                ranges.push_back({0, first});
            for (std::size_t part = 0, at = first; part < count; ++part) {
                const std::size_t end = first + rest * (part + 1) / count;
                ranges.push_back({at, end});
                at = end;
            }
        }

        // The reader's session, or none when the reading ended while it was
        // being opened.
        std::optional<QSqlDatabase> openSession(const QString& base)
        {
            {
                const std::lock_guard lock(mutex);
                if (stop)
                    return std::nullopt;
                ++opening;
            }
            struct Opened {
                ReadersShare& share;
                ~Opened()
                {
                    const std::lock_guard lock(share.mutex);
                    --share.opening;
                }
            } opened{*this};
            QSqlDatabase db = db::Connection::forThread(base);
            if (stop)
                return std::nullopt;
            return db;
        }

        void read(const QString& base, const QString& view, std::size_t reader)
        {
            RecordBatch batch; // read whole and not handed over yet
            try {
                const std::optional<QSqlDatabase> db = openSession(base);
                if (!db)
                    return finish(reader);
                db::Transaction reading(*db, db::Transaction::Read);
                db::TakeView(*db, view);
                db::PreferIndexLookups(*db);
                for (std::size_t r = reader; r < ranges.size(); r += kReaders) {
                    const auto [begin, end] = ranges[r];
                    BulkEmployeeLoader loader(*db, BAll, BulkEmployeeLoader::View::Callers,
                                              SlotsFromTo{wanted[begin], wanted[end - 1]});
                    for (std::size_t at = begin; at < end; ++at) {
                        if (stop)
                            return;
                        FedRecord fed;
                        fed.rec.waria.assign(std::size_t(EmployeeRecord::ArchiveCapacity), WariaEntry{});
                        loader.load(wanted[at], fed.rec);
                        fed.results = loader.resultRowsRead();
                        batch.push_back(std::move(fed));
                        if ((batch.size() == kBatch || at + 1 == end) && !put(reader, batch))
                            return;
                    }
                }
                reading.commit();
            } catch (...) {
                // The records read before the failure are handed over before it.
                const std::lock_guard lock(mutex);
                if (!batch.empty())
                    parts[reader].ready.push_back(std::move(batch));
                parts[reader].failure = std::current_exception();
            }
            finish(reader);
        }

        void finish(std::size_t reader)
        {
            {
                const std::lock_guard lock(mutex);
                parts[reader].ended = true;
            }
            changed.notify_all();
        }

        // Hands the batch over (leaving it empty) once the reader's queue has
        // room; false when the reading is to stop.
        bool put(std::size_t reader, RecordBatch& batch)
        {
            std::unique_lock lock(mutex);
            Part& part = parts[reader];
            changed.wait(lock, [&] { return part.ready.size() < kQueuedBatches || stop; });
            if (stop)
                return false;
            part.ready.push_back(std::exchange(batch, {}));
            lock.unlock();
            changed.notify_all();
            return true;
        }

        const std::vector<int> wanted;
        std::vector<std::pair<std::size_t, std::size_t>> ranges; // of wanted, in order
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<Part> parts; // one per reader
        std::atomic<bool> stop{false}; // set under the lock; the readers also look between records
        std::size_t running = 0; // readers' jobs not ended yet
        std::size_t opening = 0; // of those, the ones opening their sessions
    };

    // The current range's next batch, to be handed over record by record.
    // The run's stop ends the wait for it: a reader may be held by a server
    // that does not answer while opening its session, which no stop cuts.
    void takeBatch()
    {
        ReadersShare& share = *m_share;
        const std::stop_callback wake(m_stop, [&share] {
            const std::lock_guard lock(share.mutex);
            share.changed.notify_all();
        });
        std::unique_lock lock(share.mutex);
        Part& part = share.parts[m_range % kReaders];
        share.changed.wait(lock, [&] { return !part.ready.empty() || part.ended || m_stop.stop_requested(); });
        if (part.ready.empty() && !part.ended)
            db::ThrowWhenStopped();
        if (part.ready.empty()) {
            if (part.failure)
                std::rethrow_exception(part.failure);
            throw db::DbError(db::E_DB_FAIL, QStringLiteral("Ошибка базы данных"),
                              QStringLiteral("The records ended early"), QStringLiteral("Kalvor.Db"));
        }
        m_handed = std::move(part.ready.front());
        m_handedAt = 0;
        part.ready.pop_front();
        lock.unlock();
        share.changed.notify_all();
    }

    const std::shared_ptr<ReadersShare> m_share;
    const std::stop_token m_stop; // the run's
    // The caller's side (its thread alone): the batch being handed over, the
    // range handed over now, the records handed over.
    RecordBatch m_handed;
    std::size_t m_handedAt = 0, m_range = 0, m_taken = 0;
};

} // namespace

struct EmployeeRecordFeed::Impl {
    Impl(CInfoBase& b, std::vector<int> s) : base(b), wanted(std::move(s))
    {
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        const QSqlDatabase db = Db(b);
        if (db::IsServer(db) && !wanted.empty())
            reader.emplace(b.recordReaders, BaseFile(b), db::ExportedView(db), wanted);
        else
            loader.emplace(db, BAll, BulkEmployeeLoader::View::Callers);
    }

    // Reads the slot's record as a selection run does: a cleared record with
    // every block loaded.
    void read(int slot, EmployeeRecord& rec, std::optional<NumberedRows>& results)
    {
        rec.warKv = 0; // the one field that the loading leaves when the master row is missing
        if (rec.waria.size() != std::size_t(EmployeeRecord::ArchiveCapacity))
            rec.waria.assign(std::size_t(EmployeeRecord::ArchiveCapacity), WariaEntry{});
        if (next < wanted.size() && wanted[next] == slot) {
            ++next;
            if (reader) {
                reader->next(rec, results);
            } else {
                loader->load(slot, rec);
                results = loader->resultRowsRead();
            }
        } else {
            // A slot not announced, or asked for twice: read on its own.
            EmployeeLoader(Db(base), BAll).load(slot, rec);
            results.reset();
        }
    }

    // Reads the announced slots before `slot` (and `slot` itself when
    // `including`) that are not read yet: they wait in memory for their turn,
    // their blank archive entries left off.
    void readBefore(int slot, bool including)
    {
        while (next < wanted.size() && (wanted[next] < slot || (including && wanted[next] == slot))) {
            const int earlier = wanted[next];
            FedRecord& fed = early[earlier];
            read(earlier, fed.rec, fed.results);
            fed.rec.waria.resize(std::size_t(ArchiveEntriesInUse(fed.rec.waria)));
            fed.rec.waria.shrink_to_fit();
        }
    }

    CInfoBase& base;
    std::vector<int> wanted; // ascending
    std::size_t next = 0; // the first slot not read yet
    std::optional<BulkEmployeeLoader> loader; // a base file: the streams read as the run goes
    std::optional<ServerRecordReader> reader; // a server
    std::map<int, FedRecord> early; // read before their turn
    std::optional<NumberedRows> currentResults; // those of the record made current last
};

EmployeeRecordFeed::EmployeeRecordFeed(CInfoBase& base, std::vector<int> wanted)
    : d(std::make_unique<Impl>(base, std::move(wanted)))
{}

EmployeeRecordFeed::~EmployeeRecordFeed() = default;

void EmployeeRecordFeed::makeCurrent(int slot)
{
    EmployeeRecord& current = d->base.current;
    d->base.currentSlot = slot;
    if (const auto it = d->early.find(slot); it != d->early.end()) {
        current = std::move(it->second.rec);
        d->currentResults = std::move(it->second.results);
        d->early.erase(it);
        current.waria.resize(EmployeeRecord::ArchiveCapacity);
        return;
    }
    // The streams go by rising slots: the records before this one wait.
    d->readBefore(slot, false);
    d->read(slot, current, d->currentResults);
}

const std::optional<NumberedRows>& EmployeeRecordFeed::storedResultRows() const { return d->currentResults; }

void EmployeeRecordFeed::readAhead(int slot, const std::function<void(const EmployeeRecord&)>& use)
{
    d->readBefore(slot, true);
    if (const auto it = d->early.find(slot); it != d->early.end()) {
        use(it->second.rec);
        return;
    }
    FedRecord fed; // not announced, or handed over already
    d->read(slot, fed.rec, fed.results);
    use(fed.rec);
}

} // namespace kalvor::infobase
