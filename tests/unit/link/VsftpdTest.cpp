#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LinkFixture.h"

extern char** environ;

namespace orven::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVsftpd = "/usr/sbin/vsftpd";

std::uint16_t freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool accepting(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// A vsftpd of the test's own: unprivileged, loopback only, active mode only, anonymous with
// write rights, serving `folder`. It runs in a process group of its own so that stopping it
// also ends the session processes it forked; the destructor stops it and reaps it.
class Vsftpd {
  public:
    Vsftpd(const fs::path& folder, const std::string& banner) : port(freeLoopbackPort()) {
        fs::create_directories(folder / "empty");
        const fs::path config = folder / "vsftpd.conf";
        std::ofstream out(config);
        for (const std::string& line : std::initializer_list<std::string>{
                 "listen=YES", "listen_address=127.0.0.1", "listen_port=" + std::to_string(port),
                 "run_as_launching_user=YES", "background=NO", "anonymous_enable=YES",
                 "local_enable=NO", "ftp_username=nobody", "no_anon_password=YES",
                 "anon_root=" + (folder / "root").string(), "write_enable=YES",
                 "anon_upload_enable=YES", "anon_other_write_enable=YES", "seccomp_sandbox=NO",
                 "secure_chroot_dir=" + (folder / "empty").string(), "pasv_enable=NO",
                 "port_enable=YES", "connect_from_port_20=NO", "ftpd_banner=" + banner}) {
            out << line << "\n";
        }
        out.close();
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::string path = kVsftpd, file = config.string();
        char* argv[] = {path.data(), file.data(), nullptr};
        if (posix_spawn(&m_pid, kVsftpd, &files, &attributes, argv, environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
    }

    ~Vsftpd() {
        if (m_pid > 0) {
            ::kill(-m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        reapSessions();
    }

    // Bounded: false when it died or did not listen within five seconds.
    bool waitUntilListening() {
        for (int attempt = 0; attempt < 100 && m_pid > 0; ++attempt) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;
            }
            if (accepting(port)) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    const std::uint16_t port;

  private:
    // vsftpd's session processes leave its process group, so the stop above does not reach
    // them; as subreaper this process inherits them when the listener ends. They end by
    // themselves once their client has gone, which the fixture makes sure of first.
    static void reapSessions() {
        for (int attempt = 0; attempt < 500 && ::waitpid(-1, nullptr, WNOHANG) >= 0; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    pid_t m_pid = -1;
};

class VsftpdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kVsftpd)) {
            GTEST_SKIP() << "vsftpd is not installed";
        }
        fs::create_directories(box);
        fs::create_directories(local);
        std::ofstream(box / "a.vmdat") << "voice";
        std::ofstream(box / "big.bin") << std::string(8 << 20, 'b');
    }

    // The server for this case, and a client for it (a Ui of the case's own when given).
    CFtpMng& start(const std::string& banner = "Zu-KA vsftpd on loopback", Ui* ui = nullptr) {
        server = std::make_unique<Vsftpd>(dir.path(), banner);
        EXPECT_TRUE(server->waitUntilListening());
        client = std::make_unique<CFtpMng>(givenServices(ui, timing, cancel, local));
        return *client;
    }

    LoginResult logIn() { return client->Login("127.0.0.1", "anonymous", "guest", server->port); }

    TempDir dir;
    fs::path box = dir / "root" / "box";
    fs::path local = dir / "local";
    Timing timing = quickTiming();
    std::atomic<int> cancel{0};
    std::unique_ptr<Vsftpd> server;
    std::unique_ptr<CFtpMng> client;  // gone before the server
};

TEST_F(VsftpdTest, BannerDecidesWhetherItIsAMainUnit) {
    start("vsFTPd ready");
    EXPECT_EQ(logIn(), LoginResult::UnsupportedMainUnit);
}

// Without chroot the served paths are the real ones, so the box is named by its full path.
TEST_F(VsftpdTest, ListsFetchesStoresAndDeletes) {
    CFtpMng& ftp = start();
    ASSERT_EQ(logIn(), LoginResult::LoggedIn);
    EXPECT_EQ(ftp.ProbePort(), CFtpMng::kAnswered);
    EXPECT_EQ(ftp.CountRemoteFiles({}, box.string()), 2);

    std::string names, none;
    const TransferResult fetched = ftp.RunOperation(local, [&] {
        EXPECT_EQ(ftp.ListNames(names, box.string(), false), ListingResult::Listed);
        // "226" with nothing listed
        EXPECT_EQ(ftp.ListNames(none, box.string(), true), ListingResult::Listed);
        return ftp.RetrieveFile("a.vmdat", "copy.vmdat");
    });
    EXPECT_EQ(fetched, TransferResult::Done);
    EXPECT_EQ(names, "a.vmdat\r\nbig.bin\r\n");
    EXPECT_EQ(none, "");
    EXPECT_EQ(readFile(local / "copy.vmdat"), "voice");

    const std::string upload = (box / "up.datco").string();
    EXPECT_EQ(ftp.PutFile(std::string(3000, 'r'), {}, upload), TransferResult::Done);
    EXPECT_EQ(readFile(upload), std::string(3000, 'r'));
    EXPECT_EQ(ftp.DeleteRemoteFile({}, upload), TransferResult::Done);
    EXPECT_FALSE(fs::exists(upload));
    EXPECT_EQ(ftp.DeleteRemoteFile({}, upload), TransferResult::Unavailable);
    ftp.Logout();
}

// vsftpd answers an ABOR during a transfer with "426" and "225"; both must be read.
TEST_F(VsftpdTest, AbortDuringATransferKeepsTheSessionInStep) {
    bool fired = false;
    CancellingUi ui(cancel, [&] {
        std::error_code ec;
        const bool started = fs::file_size(local / "big.bin", ec) >= 65536 && !ec;
        return !std::exchange(fired, fired || started) && started;
    });
    CFtpMng& ftp = start("Zu-KA vsftpd on loopback", &ui);
    ASSERT_EQ(logIn(), LoginResult::LoggedIn);
    std::string names;
    const ListingResult listed = ftp.RunOperation(local, [&] {
        EXPECT_EQ(ftp.ListNames(names, box.string(), false), ListingResult::Listed);
        EXPECT_EQ(ftp.RetrieveFile("big.bin", ""), TransferResult::Cancelled);
        cancel = 0;
        return ftp.ListNames(names, box.string(), false);
    });
    EXPECT_EQ(listed, ListingResult::Listed);
    EXPECT_EQ(names, "a.vmdat\r\nbig.bin\r\n");
    EXPECT_LT(fs::file_size(local / "big.bin"), 8u << 20);
}

}  // namespace
}  // namespace orven::test
