#pragma once
// The program's server reached through a loop-back proxy that holds every
// packet a given delay each way (tools/netdelay.py, Debian's python3), as an
// office whose server is in another building or town reaches it: for the
// tests of server bases over a slow network, run against a throw-away
// cluster of tools/pgtest.sh (its Unix socket).
#include "platform/Db.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <atomic>

#include <signal.h>

namespace servertest {

class DelayingProxy {
public:
    // Starts the proxy to the cluster of that folder; port() is 0 when it
    // could not start (no python3).
    DelayingProxy(const QString& server, int delayMs) : server_(server), delayMs_(delayMs) { start(0); }
    // The program's server as it was, and the proxy ended (its own process).
    ~DelayingProxy()
    {
        if (switched_)
            kalvor::db::UseServer(previous_);
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000))
                process_.kill();
            process_.waitForFinished(5000);
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

    // The line cut: the proxy killed at once, which ends every connection
    // through it as a cut line does (callable from any thread, in the
    // middle of a statement too).
    void cut()
    {
        if (const qint64 pid = pid_.load(); pid > 0)
            ::kill(pid_t(pid), SIGKILL);
    }
    // The line back after a cut: the proxy started again on its port.
    bool back()
    {
        process_.waitForFinished(5000);
        const int port = port_;
        start(port);
        return port_ == port;
    }

private:
    void start(int port)
    {
        port_ = 0;
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            return;
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(python, {QStringLiteral(KALVOR_SOURCE_DIR "/tools/netdelay.py"), QString::number(delayMs_),
                                server_ + QStringLiteral("/.s.PGSQL.5432"), QString::number(port)});
        if (!process_.waitForStarted(10000) || !process_.waitForReadyRead(10000))
            return;
        pid_ = process_.processId();
        port_ = process_.readLine().trimmed().toInt();
    }

    QString server_;
    int delayMs_ = 0;
    std::atomic<qint64> pid_{0};
    QProcess process_;
    int port_ = 0;
    bool switched_ = false;
    kalvor::db::ServerAddress previous_;
};

} // namespace servertest
