#pragma once
// The database layer's hooks for the tests: the lease of a server's base
// lock and the rounds of its watcher, a statement made to fail or to lose its
// connection, and a call run before a statement.
#include <QString>

#include <functional>

namespace kalvor::db {

// Test hooks: the lease of the locks taken or renewed from now on (0: the
// usual 45 s), the watcher's renewals held back (a holder that has not
// reconnected yet) or let go, and a round of the watcher asked for at once
// and waited for (a round begun after the call; none when no lock is held).
void SetServerLease(int milliseconds);
void HoldServerLeaseRenewals(bool held);
void AwaitServerLeaseRound();

// Test hook: the n-th statement executed from now on by the calling thread
// fails with an engine error, as a full disk or a broken constraint would;
// 0 disables the hook.
void InjectFailureAfter(int statements);
// Test hook: the n-th statement executed from now on by the calling thread
// first has the server end the thread's connection, as a network failure
// would; 0 disables the hook. Only for server bases.
void InjectDisconnectAfter(int statements);
// Test hook: before the n-th statement from now on, of any thread, whose
// text contains `part`, `call` runs on that thread (once); an empty call
// disables the hook.
void CallBeforeStatement(const QString& part, int n, std::function<void()> call);

} // namespace kalvor::db
