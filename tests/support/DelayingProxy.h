#pragma once
// The program's server reached through a loop-back proxy that holds every
// packet a given delay each way (tools/netdelay.py, Debian's python3), as an
// office whose server is in another building or town reaches it: for the
// tests of server bases over a slow network, run against a throw-away
// cluster of tools/pgtest.sh (its Unix socket). A cut of the line and its
// return keep the proxy and its port: no other program can take the port
// between them.
#include "platform/Db.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

#include <signal.h>

namespace servertest {

class DelayingProxy {
public:
    // Starts the proxy to the cluster of that folder and waits until it
    // listens, however long a loaded machine takes (within minutes); port()
    // is 0 when it could not start (no python3).
    DelayingProxy(const QString& server, int delayMs) : server_(server), delayMs_(delayMs) { start(); }
    // The program's server as it was, and the proxy ended (its own process).
    ~DelayingProxy()
    {
        if (switched_)
            kalvor::db::UseServer(previous_);
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(kReadyWithin))
                process_.kill();
            process_.waitForFinished(kReadyWithin);
        }
    }
    DelayingProxy(const DelayingProxy&) = delete;
    DelayingProxy& operator=(const DelayingProxy&) = delete;

    int port() const { return port_; }
    // The connections opened from now on go through the proxy (those open
    // stay as they are), until the object goes.
    void use()
    {
        if (!switched_)
            previous_ = kalvor::db::Server();
        switched_ = true;
        kalvor::db::UseServer({QStringLiteral("127.0.0.1"), port_, QString()});
    }

    // The line cut: every connection through the proxy ended at once, as a
    // cut line ends them, and each new one ended as it comes; returns once
    // the proxy says so (callable from any thread, in the middle of a
    // statement too). The proxy keeps its port meanwhile.
    bool cut() { return sendAndAwait(SIGUSR1, "cut"); }
    // The line back after a cut, on the same port: new connections go
    // through again.
    bool back() { return sendAndAwait(SIGUSR2, "open"); }

private:
    // The longest a helper is waited for: a machine loaded many times over
    // its cores takes seconds where an idle one takes milliseconds.
    static constexpr int kReadyWithin = 120'000;

    void start()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty() || !stateDir_.isValid())
            return;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NETDELAY_STATE"), state_);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(python, {QStringLiteral(KALVOR_SOURCE_DIR "/tools/netdelay.py"), QString::number(delayMs_),
                                server_ + QStringLiteral("/.s.PGSQL.5432")});
        if (!process_.waitForStarted(kReadyWithin) || !process_.waitForReadyRead(kReadyWithin))
            return;
        pid_ = process_.processId();
        port_ = process_.readLine().trimmed().toInt();
    }
    // Sends the proxy the signal and waits until its state file says `state`.
    bool sendAndAwait(int sig, const char* state)
    {
        const qint64 pid = pid_.load();
        if (pid <= 0 || ::kill(pid_t(pid), sig) != 0)
            return false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kReadyWithin) {
            QFile file(state_);
            if (file.open(QIODevice::ReadOnly) && file.readAll() == state)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    QString server_;
    int delayMs_ = 0;
    QTemporaryDir stateDir_;
    const QString state_ = stateDir_.filePath(QStringLiteral("line"));
    std::atomic<qint64> pid_{0};
    QProcess process_;
    int port_ = 0;
    bool switched_ = false;
    kalvor::db::ServerAddress previous_;
};

} // namespace servertest
