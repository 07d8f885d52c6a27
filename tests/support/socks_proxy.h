// A real SOCKS proxy for one test, on 127.0.0.1 and a free port: microsocks for SOCKS5 (with
// or without a password), dante for SOCKS4. Ended and reaped when the object goes away.
#pragma once

#include "child_process.h"
#include "temp_dir.h"

#include <memory>
#include <string>

namespace testsupport {

class SocksProxy {
public:
    enum class Kind { Socks4, Socks5 };
    // Starts the proxy and waits (up to 10 s) until it accepts connections. A user and
    // password make a SOCKS5 proxy require them. Throws std::runtime_error on failure.
    explicit SocksProxy(Kind kind, const std::string& user = "", const std::string& password = "");
    ~SocksProxy();
    SocksProxy(const SocksProxy&) = delete;
    SocksProxy& operator=(const SocksProxy&) = delete;

    int port() const { return port_; }

    // The next line the proxy logged (SOCKS5: "client[N] ADDRESS: connected to HOST:PORT",
    // naming the host as the client asked for it). False after the time-out.
    bool nextLogLine(std::string& line, int timeoutMilliseconds);

private:
    TempDir folder_;
    std::unique_ptr<ChildProcess> child_;
    int port_ = 0;
};

// A TCP port on 127.0.0.1 that nothing listened on a moment ago.
int FreeLoopbackPort();

// True once something accepts connections on 127.0.0.1:port, false after the time-out.
bool WaitForListener(int port, int timeoutMilliseconds);

} // namespace testsupport
