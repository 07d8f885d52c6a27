#include "socks_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// dante's configuration: no authentication (SOCKS4 has none), loopback only.
std::string DanteConfiguration(int port) {
    return "logoutput: stderr\n"
           "internal: 127.0.0.1 port = " +
           std::to_string(port) +
           "\n"
           "external: 127.0.0.1\n"
           "clientmethod: none\n"
           "socksmethod: none\n"
           "user.privileged: root\n"
           "user.unprivileged: nobody\n"
           "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 log: error }\n"
           "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 log: error }\n";
}

} // namespace

int FreeLoopbackPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (probe < 0 || bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (probe >= 0)
            close(probe);
        throw std::runtime_error("no free loopback port");
    }
    close(probe);
    return ntohs(address.sin_port);
}

bool WaitForListener(int port, int timeoutMilliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = Loopback(port);
        const bool connected =
            s >= 0 && connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (s >= 0)
            close(s);
        if (connected)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

SocksProxy::SocksProxy(Kind kind, const std::string& user, const std::string& password) {
    port_ = FreeLoopbackPort();
    if (kind == Kind::Socks5) {
        // microsocks logs each connection on standard error; the shell joins it to the output
        // that the fixture reads.
        std::string command = "exec /usr/bin/microsocks -i 127.0.0.1 -p " + std::to_string(port_);
        if (!user.empty())
            command += " -u '" + user + "' -P '" + password + "'";
        child_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/bin/sh", "-c", command + " 2>&1"});
    } else {
        const std::string configuration = folder_.write("danted.conf", DanteConfiguration(port_));
        child_ = std::make_unique<ChildProcess>(std::vector<std::string>{
            "/usr/sbin/danted", "-f", configuration, "-p", folder_.file("danted.pid"), "-N", "1"});
    }
    if (!WaitForListener(port_, 10000))
        throw std::runtime_error("the SOCKS proxy did not start on port " + std::to_string(port_));
}

bool SocksProxy::nextLogLine(std::string& line, int timeoutMilliseconds) {
    return child_->readLine(line, std::chrono::milliseconds(timeoutMilliseconds));
}

SocksProxy::~SocksProxy() {
    if (child_)
        child_->terminate();
}

} // namespace testsupport
