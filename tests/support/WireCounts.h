#pragma once
// Counts what a program sends to PostgreSQL servers, on the wire, below the
// program and QtSql alike: the program that includes this header (in one
// source file only) defines libpq's calls that send (PQexec, PQsendQuery ...
// PQpipelineSync) and passes each to libpq, counting it first. Its own code
// calls them at once; the server driver of QtSql, loaded at run time, calls
// them when the program's symbols are exported (CMake ENABLE_EXPORTS).
// A call that waits for its answer (PQexec, PQprepare, a query sent outside
// a pipeline) is one round trip; a pipeline is one at its sync, however many
// statements it carries, unless it is sent while an earlier pipeline of the
// session is still unanswered: their answers come back together, in one
// wait. A call made inside another counted call (libpq's
// own PQexec sending its query) is not counted again. Every thread's calls
// count, the base lock's lease watcher's too (hold its renewals while
// counting: db::HoldServerLeaseRenewals).
#include <libpq-fe.h>

#include <dlfcn.h>

#include <atomic>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace wirecount {

inline std::atomic<long> roundTrips{0}, statements{0}, sessions{0};

// The round trips waited for, the statements and preparations sent and the
// sessions opened, at one moment or between two.
struct Counts {
    long trips = 0, sent = 0, opened = 0;
    static Counts now() { return {roundTrips.load(), statements.load(), sessions.load()}; }
    Counts operator-(const Counts& o) const { return {trips - o.trips, sent - o.sent, opened - o.opened}; }
};

namespace detail {

inline thread_local int insideCall = 0; // a counted call is running on the thread

// Counts one call (unless inside another counted call) and makes it.
template <class F, class... A>
auto counted(const char* name, bool trip, bool statement, bool session, A... args)
{
    static thread_local std::vector<std::pair<const char*, void*>> found;
    void* fn = nullptr;
    for (const auto& [n, f] : found)
        if (n == name)
            fn = f;
    if (!fn) {
        fn = dlsym(RTLD_NEXT, name);
        found.emplace_back(name, fn);
    }
    if (insideCall == 0) {
        roundTrips += trip ? 1 : 0;
        statements += statement ? 1 : 0;
        sessions += session ? 1 : 0;
    }
    ++insideCall;
    auto result = reinterpret_cast<F>(fn)(args...);
    --insideCall;
    return result;
}

// Whether a call on the session waits for its answer now (no pipeline).
inline bool waits(PGconn* conn) { return PQpipelineStatus(conn) == PQ_PIPELINE_OFF; }

// The pipelines of each session whose sync has not been answered yet.
inline std::mutex unansweredMutex;
inline std::map<const PGconn*, int> unanswered;

// Counts a pipeline's sync as sent; whether it begins a wait of its own (no
// earlier pipeline of the session is still unanswered).
inline bool syncBeginsAWait(const PGconn* conn)
{
    std::lock_guard<std::mutex> lock(unansweredMutex);
    return unanswered[conn]++ == 0;
}

// Counts a sync of the session as answered.
inline void syncAnswered(const PGconn* conn)
{
    std::lock_guard<std::mutex> lock(unansweredMutex);
    if (const auto it = unanswered.find(conn); it != unanswered.end() && --it->second <= 0)
        unanswered.erase(it);
}

// A session ended: nothing of it is due any more.
inline void sessionEnded(const PGconn* conn)
{
    std::lock_guard<std::mutex> lock(unansweredMutex);
    unanswered.erase(conn);
}

} // namespace detail
} // namespace wirecount

extern "C" {

PGresult* PQexec(PGconn* conn, const char* query)
{
    return wirecount::detail::counted<PGresult* (*)(PGconn*, const char*)>("PQexec", true, true, false, conn, query);
}

PGresult* PQexecParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths, const int* paramFormats,
                       int resultFormat)
{
    return wirecount::detail::counted<PGresult* (*)(PGconn*, const char*, int, const Oid*, const char* const*,
                                                    const int*, const int*, int)>(
        "PQexecParams", true, true, false, conn, command, nParams, paramTypes, paramValues, paramLengths,
        paramFormats, resultFormat);
}

PGresult* PQexecPrepared(PGconn* conn, const char* stmtName, int nParams, const char* const* paramValues,
                         const int* paramLengths, const int* paramFormats, int resultFormat)
{
    return wirecount::detail::counted<PGresult* (*)(PGconn*, const char*, int, const char* const*, const int*,
                                                    const int*, int)>(
        "PQexecPrepared", true, true, false, conn, stmtName, nParams, paramValues, paramLengths, paramFormats,
        resultFormat);
}

PGresult* PQprepare(PGconn* conn, const char* stmtName, const char* query, int nParams, const Oid* paramTypes)
{
    return wirecount::detail::counted<PGresult* (*)(PGconn*, const char*, const char*, int, const Oid*)>(
        "PQprepare", true, true, false, conn, stmtName, query, nParams, paramTypes);
}

PGresult* PQdescribePrepared(PGconn* conn, const char* stmt)
{
    return wirecount::detail::counted<PGresult* (*)(PGconn*, const char*)>("PQdescribePrepared", true, false, false,
                                                                            conn, stmt);
}

int PQsendQuery(PGconn* conn, const char* query)
{
    return wirecount::detail::counted<int (*)(PGconn*, const char*)>("PQsendQuery", wirecount::detail::waits(conn),
                                                                      true, false, conn, query);
}

int PQsendQueryParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                      const char* const* paramValues, const int* paramLengths, const int* paramFormats,
                      int resultFormat)
{
    return wirecount::detail::counted<int (*)(PGconn*, const char*, int, const Oid*, const char* const*, const int*,
                                              const int*, int)>(
        "PQsendQueryParams", wirecount::detail::waits(conn), true, false, conn, command, nParams, paramTypes,
        paramValues, paramLengths, paramFormats, resultFormat);
}

int PQsendPrepare(PGconn* conn, const char* stmtName, const char* query, int nParams, const Oid* paramTypes)
{
    return wirecount::detail::counted<int (*)(PGconn*, const char*, const char*, int, const Oid*)>(
        "PQsendPrepare", wirecount::detail::waits(conn), true, false, conn, stmtName, query, nParams, paramTypes);
}

int PQsendQueryPrepared(PGconn* conn, const char* stmtName, int nParams, const char* const* paramValues,
                        const int* paramLengths, const int* paramFormats, int resultFormat)
{
    return wirecount::detail::counted<int (*)(PGconn*, const char*, int, const char* const*, const int*, const int*,
                                              int)>("PQsendQueryPrepared", wirecount::detail::waits(conn), true,
                                                    false, conn, stmtName, nParams, paramValues, paramLengths,
                                                    paramFormats, resultFormat);
}

int PQsendDescribePrepared(PGconn* conn, const char* stmt)
{
    return wirecount::detail::counted<int (*)(PGconn*, const char*)>(
        "PQsendDescribePrepared", wirecount::detail::waits(conn), false, false, conn, stmt);
}

int PQpipelineSync(PGconn* conn)
{
    const bool wait = wirecount::detail::syncBeginsAWait(conn);
    return wirecount::detail::counted<int (*)(PGconn*)>("PQpipelineSync", wait, false, false, conn);
}

PGresult* PQgetResult(PGconn* conn)
{
    using Get = PGresult* (*)(PGconn*);
    static const Get get = reinterpret_cast<Get>(dlsym(RTLD_NEXT, "PQgetResult"));
    PGresult* r = get(conn);
    if (r && PQresultStatus(r) == PGRES_PIPELINE_SYNC)
        wirecount::detail::syncAnswered(conn);
    return r;
}

void PQfinish(PGconn* conn)
{
    using Finish = void (*)(PGconn*);
    static const Finish finish = reinterpret_cast<Finish>(dlsym(RTLD_NEXT, "PQfinish"));
    wirecount::detail::sessionEnded(conn);
    finish(conn);
}

PGconn* PQconnectdb(const char* conninfo)
{
    return wirecount::detail::counted<PGconn* (*)(const char*)>("PQconnectdb", false, false, true, conninfo);
}

PGconn* PQconnectdbParams(const char* const* keywords, const char* const* values, int expand_dbname)
{
    return wirecount::detail::counted<PGconn* (*)(const char* const*, const char* const*, int)>(
        "PQconnectdbParams", false, false, true, keywords, values, expand_dbname);
}

PGconn* PQconnectStartParams(const char* const* keywords, const char* const* values, int expand_dbname)
{
    return wirecount::detail::counted<PGconn* (*)(const char* const*, const char* const*, int)>(
        "PQconnectStartParams", false, false, true, keywords, values, expand_dbname);
}

} // extern "C"
