#pragma once
// A local port that accepts connections and never answers: what a server
// looks like when it hangs, for tests of bounded waits.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kalvor::testsupport {

class SilentPort {
public:
    SilentPort()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 4) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~SilentPort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;

    // 0 when no port could be opened.
    int port() const { return port_; }
    // Whether a client has connected (and waits, never answered), waiting up
    // to ms for one.
    bool knockedOn(int ms = 0) const
    {
        pollfd listening{fd_, POLLIN, 0};
        return fd_ >= 0 && ::poll(&listening, 1, ms) == 1;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace kalvor::testsupport
