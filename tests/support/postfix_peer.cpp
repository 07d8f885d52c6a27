#include "postfix_peer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

const char kPostfix[] = "/usr/sbin/postfix";
const char kPostconf[] = "/usr/sbin/postconf";

std::string DaemonDirectory() {
    const ProcessResult run = RunProcess({kPostconf, "-d", "-h", "daemon_directory"}, true);
    std::string directory = run.exitCode == 0 ? run.output : "";
    while (!directory.empty() && (directory.back() == '\n' || directory.back() == '\r'))
        directory.pop_back();
    return directory;
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        close(fd);
    return connected;
}

// Every recipient is rewritten to one mailbox (duplicates then collapse into one delivery),
// which the virtual delivery agent writes into <folder>/mail/Maildir as the postfix user.
// Nothing leaves the machine: other transports are errors, the daemons run without chroot.
std::string MainCf(const std::string& folder, const passwd& owner) {
    const std::string uid = std::to_string(owner.pw_uid);
    const std::string gid = std::to_string(owner.pw_gid);
    return "compatibility_level = 3.6\n"
           "queue_directory = " +
           folder +
           "/queue\n"
           "data_directory = " +
           folder +
           "/data\n"
           "mail_owner = " +
           owner.pw_name +
           "\n"
           "maillog_file = " +
           folder +
           "/maillog\n"
           "maillog_file_prefixes = " +
           folder +
           "\n"
           "inet_interfaces = 127.0.0.1\n"
           "inet_protocols = ipv4\n"
           "myhostname = postfix.test\n"
           "mydomain = postfix.test\n"
           "myorigin = postfix.test\n"
           "mydestination =\n"
           "mynetworks = 127.0.0.0/8\n"
           "relay_domains =\n"
           "smtpd_relay_restrictions = permit_mynetworks, reject\n"
           "alias_maps =\n"
           "alias_database =\n"
           "local_transport = error:local delivery is off\n"
           "default_transport = error:outside mail is off\n"
           "relay_transport = error:outside mail is off\n"
           "enable_original_recipient = no\n"
           "virtual_alias_domains =\n"
           "virtual_alias_maps = static:inbox@maildir.test\n"
           "virtual_mailbox_domains = maildir.test\n"
           "virtual_mailbox_base = " +
           folder +
           "/mail\n"
           "virtual_mailbox_maps = static:Maildir/\n"
           "virtual_uid_maps = static:" +
           uid +
           "\n"
           "virtual_gid_maps = static:" +
           gid + "\n";
}

std::string MasterCf(int port) {
    return "127.0.0.1:" + std::to_string(port) +
           " inet n - n - - smtpd\n"
           "cleanup unix n - n - 0 cleanup\n"
           "qmgr unix n - n 300 1 qmgr\n"
           "rewrite unix - - n - - trivial-rewrite\n"
           "bounce unix - - n - 0 bounce\n"
           "defer unix - - n - 0 bounce\n"
           "trace unix - - n - 0 bounce\n"
           "verify unix - - n - 1 verify\n"
           "flush unix n - n 1000? 0 flush\n"
           "proxymap unix - - n - - proxymap\n"
           "error unix - - n - - error\n"
           "retry unix - - n - - error\n"
           "discard unix - - n - - discard\n"
           "virtual unix - n n - - virtual\n"
           "anvil unix - - n - 1 anvil\n"
           "scache unix - - n - 1 scache\n"
           "postlog unix-dgram n - n - 1 postlogd\n";
}

void MakeOwnedFolder(const std::string& path, const passwd* owner) {
    std::filesystem::create_directories(path);
    if (owner && chown(path.c_str(), owner->pw_uid, owner->pw_gid) != 0)
        throw std::runtime_error("cannot hand " + path + " to the postfix user");
}

} // namespace

std::string PostfixPeer::UnavailableReason() {
    if (geteuid() != 0)
        return "Postfix's master and postfix commands run only as the superuser (this test runs "
               "as uid " +
               std::to_string(geteuid()) + ")";
    if (access(kPostfix, X_OK) != 0)
        return "Debian's postfix package is not installed (no " + std::string(kPostfix) + ")";
    if (!getpwnam("postfix"))
        return "there is no postfix user (the package's set-up did not run)";
    return "";
}

PostfixPeer::PostfixPeer() {
    const std::string reason = UnavailableReason();
    if (!reason.empty())
        throw std::runtime_error(reason);
    const passwd* owner = getpwnam("postfix");
    const std::string& folder = folder_.path();
    // The daemons run as the postfix user and must reach their folders through this one.
    chmod(folder.c_str(), 0755);
    MakeOwnedFolder(folder + "/conf", nullptr);
    MakeOwnedFolder(folder + "/queue", nullptr);
    MakeOwnedFolder(folder + "/data", owner);
    MakeOwnedFolder(folder + "/mail", owner);
    port_ = FreePort();
    folder_.write("conf/main.cf", MainCf(folder, *owner));
    folder_.write("conf/master.cf", MasterCf(port_));
    // "check" creates the queue's subfolders with their owners and modes.
    if (RunProcess({kPostfix, "-c", folder + "/conf", "check"}).exitCode != 0)
        throw std::runtime_error("postfix check refused the private configuration");

    // The master kills its daemons when it stops but does not wait for them: while it runs,
    // this process adopts them (as a subreaper) so that stop() can reap them.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    // In a session of its own, so that its process group holds exactly the master and its
    // daemons (the master signals that group when it stops).
    master_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "setsid", DaemonDirectory() + "/master", "-c", folder + "/conf", "-d"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!Accepts(port_)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            stop();
            throw std::runtime_error("the private Postfix did not start; see " + logFile());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

PostfixPeer::~PostfixPeer() {
    stop();
}

void PostfixPeer::stop() {
    if (!master_)
        return;
    const pid_t group = master_->pid();
    master_->terminate();
    master_.reset();
    // Reap the daemons of the group; kill what is still there after 5 s.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool killed = false;
    for (;;) {
        const pid_t got = waitpid(-group, nullptr, WNOHANG);
        if (got < 0 && errno != EINTR)
            break; // none left
        if (got == 0) {
            if (!killed && std::chrono::steady_clock::now() >= deadline) {
                kill(-group, SIGKILL);
                killed = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

std::string PostfixPeer::nextDelivery(std::chrono::milliseconds timeout) {
    const std::string folder = folder_.file("mail/Maildir/new");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
            const std::string path = entry.path().string();
            if (returned_.insert(path).second)
                return path;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return "";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace testsupport
