// A real Postfix (Debian's package) run as a private instance for one test: its own
// configuration, queue and data folders in a temporary folder, listening on 127.0.0.1 on a free
// port, relaying for 127.0.0.0/8 and delivering every recipient of a message into one Maildir
// (one file per message). Nothing of the system's mail set-up is used or changed.
#pragma once

#include "child_process.h"
#include "temp_dir.h"

#include <chrono>
#include <memory>
#include <set>
#include <string>

namespace testsupport {

class PostfixPeer {
public:
    // Why no private Postfix can run here (for example: not the superuser, which Postfix's
    // master and postfix commands require; package missing); empty when it can.
    static std::string UnavailableReason();

    // Writes the configuration, starts the master in its own session and waits (up to 15 s)
    // until it accepts connections. Throws std::runtime_error with the reason otherwise.
    PostfixPeer();
    // Stops the master, which ends its daemons, reaps them all and removes the folder.
    ~PostfixPeer();
    PostfixPeer(const PostfixPeer&) = delete;
    PostfixPeer& operator=(const PostfixPeer&) = delete;

    int port() const { return port_; }
    // Waits for a delivered message (a file in Maildir/new) that this call has not returned
    // before and returns its path; empty after the time-out. The log is in logFile().
    std::string nextDelivery(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    std::string logFile() const { return folder_.file("maillog"); }

private:
    TempDir folder_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> master_;
    std::set<std::string> returned_;
    void stop();
};

} // namespace testsupport
