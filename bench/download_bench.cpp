// One bulk box download of 2 000 messages with voice data (about 200 MB) from the main unit
// stand-in over loopback: the box download job (request list, one bundle, unpacked into the
// box folder) next to curl storing the same request list and fetching the same bundle in
// active mode into /dev/null.
//
// Reproduce:  cmake --build build --target download_bench && build/bench/download_bench
// Counters: messages_per_s and MB_per_s for both; "vs_curl" on the curl case is the job's
// byte rate divided by curl's.
//
// The job's case also times, in the same run, a file system anchor before and after it: the
// same files (same sizes, in a box folder of the same depth) each written under a temporary
// name and renamed once, then one flush of the volume. It also times the store alone
// unpacking the same bundle from a local file into a fresh box folder. It prints
// "vs_fs_anchor=<job time / anchor time>" and "unpack_vs_anchor=<unpack time / anchor time>"
// (goal for the store: at most 1.3); the anchor time is the mean of both anchors. The
// volume is flushed before each timed part, so none pays for what was written before it, and
// nothing is removed before the end: on a file system without a journal, every file made soon
// after many removals costs more.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "link/BoxDownloadJob.h"
#include "link/Environment.h"
#include "mainunit/MainUnitServer.h"
#include "platform/FileOps.h"
#include "platform/LocalFileSystem.h"
#include "store/CFileMng.h"

namespace {

namespace fs = std::filesystem;
constexpr int kMessages = 2000;
constexpr std::size_t kVoiceBytes = 100 * 1024;
constexpr const char* kBox = "/rusuroku/0101";
constexpr const char* kPassword = "secret";

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string stemOf(int i) {
    char stem[40];
    std::snprintf(stem, sizeof stem, "2026%02d%02d%02d%02d_MON_0101_%05d", 1 + i % 12, 1 + i % 28,
                  i % 24, i % 60, i + 1);
    return stem;
}

// The stand-in serving one box of kMessages messages, for the whole run; removed at exit.
class Fixture {
  public:
    static Fixture& get() {
        static Fixture fixture;
        return fixture;
    }
    ~Fixture() {
        server.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path root;
    std::unique_ptr<orven::mainunit::MainUnitServer> server;
    std::int64_t bundleBytes = 0;
    double jobBytesPerSecond = 0;

  private:
    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "orven-bench-XXXXXX").string();
        root = mkdtemp(pattern.data());
        const fs::path box = root / "served" / "rusuroku" / "0101";
        fs::create_directories(box);
        const std::string voice(kVoiceBytes, 'v');
        std::string bundle;
        for (int i = 0; i < kMessages; ++i) {
            const std::string stem = stemOf(i);
            std::string header(256, '\0');
            header.replace(0, stem.size() + 6, stem + ".vmdat");
            header.replace(64, 16, "Zu-KA Voice-data");
            orven::FileOps::replaceFileAtomically(box / (stem + ".vminf"), header);
            orven::FileOps::replaceFileAtomically(
                box / (stem + ".vmdat"),
                header + be32(static_cast<std::uint32_t>(voice.size())) + voice);
            bundle += header + be32(static_cast<std::uint32_t>(voice.size())) + voice;
        }
        bundleBytes = static_cast<std::int64_t>(bundle.size());
        orven::FileOps::replaceFileAtomically(root / "bundle",
                                              be32(kMessages) + std::string(12, '\0') + bundle);
        orven::mainunit::MainUnitOptions options;
        options.root = root / "served";
        options.password = kPassword;
        server = std::make_unique<orven::mainunit::MainUnitServer>(options);
        server->start();
    }
};

void report(benchmark::State& state, double seconds, std::int64_t bytes) {
    state.counters["messages_per_s"] = kMessages / seconds;
    state.counters["MB_per_s"] = static_cast<double>(bytes) / seconds / 1e6;
    state.SetIterationTime(seconds);
}

bool writeFile(const fs::path& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

// Seconds to store what the job stores with the least the file system needs: each file
// written and renamed once, one flush at the end.
double anchorSeconds(const fs::path& box, const orven::FileSystem& fileSystem) {
    fs::create_directories(box);
    const std::string info(1266, 'i');
    const std::string voice(kVoiceBytes, 'v');
    fileSystem.flushToDisk(box);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kMessages; ++i) {
        const fs::path stem = box / stemOf(i);
        for (const auto& [extension, bytes] : {std::pair{".vminf", &info}, {".aac", &voice}}) {
            const fs::path file = stem.string() + extension;
            const fs::path part = file.string() + ".part";
            if (!writeFile(part, *bytes) || ::rename(part.c_str(), file.c_str()) != 0) {
                return 0;
            }
        }
    }
    const bool flushed = fileSystem.flushToDisk(box);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return flushed ? took.count() : 0;
}

// Seconds the store takes to unpack the whole bundle into a fresh box folder; 0 on failure.
double unpackSeconds(const fs::path& box, const fs::path& bundle, const orven::FileSystem& files) {
    fs::create_directories(box);
    orven::StoreContext context;
    context.fileSystem = &files;
    orven::CFileMng store(context);
    std::vector<std::string> names;
    files.flushToDisk(box);
    const auto start = std::chrono::steady_clock::now();
    const int unpacked = store.UnpackBundle(box, bundle, &names, true, false, false);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return unpacked == kMessages ? took.count() : 0;
}

// Seconds the whole box download job takes; 0 when it did not store every message.
double jobSeconds(const fs::path& local, Fixture& fixture, orven::FileSystem& fileSystem) {
    fs::create_directories(local);
    orven::FtpEnvironment given;
    given.fileSystem = &fileSystem;
    given.defaultLocalDirectory = local.parent_path().parent_path();
    orven::Environment environment(given);
    orven::CFtpMng& ftp = environment.ftp();
    if (ftp.Login("127.0.0.1", "maint", kPassword, fixture.server->port()) !=
        orven::LoginResult::LoggedIn) {
        return 0;
    }
    orven::JobEnvironment env = environment.job({});
    int chosen = 0;
    int stored = 0;
    fileSystem.flushToDisk(local);
    const auto start = std::chrono::steady_clock::now();
    const orven::JobResult result =
        orven::BoxDownloadJob(env).DownloadBox(local, chosen, kBox, stored, false, false);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    ftp.Logout();
    return result == orven::JobResult::Done && stored == kMessages ? took.count() : 0;
}

void BM_BoxDownloadJob(benchmark::State& state) {
    Fixture& fixture = Fixture::get();
    orven::LocalFileSystem fileSystem;
    for (auto _ : state) {
        const fs::path& root = fixture.root;
        const double before = anchorSeconds(root / "anchor1" / "rusuroku" / "0101", fileSystem);
        const double job = jobSeconds(root / "local" / "rusuroku" / "0101", fixture, fileSystem);
        const double unpack =
            unpackSeconds(root / "unpack" / "rusuroku" / "0101", root / "bundle", fileSystem);
        const double after = anchorSeconds(root / "anchor2" / "rusuroku" / "0101", fileSystem);
        // What making files costs here drifts within seconds; the mean of an anchor before
        // and one after is taken, and both are shown.
        const double anchor = (before + after) / 2;
        if (job <= 0 || unpack <= 0 || before <= 0 || after <= 0) {
            state.SkipWithError("the job, the anchor or the unpack did not store every message");
            return;
        }
        fixture.jobBytesPerSecond = static_cast<double>(fixture.bundleBytes) / job;
        report(state, job, fixture.bundleBytes);
        state.counters["anchor_s"] = anchor;
        state.counters["vs_fs_anchor"] = job / anchor;
        state.counters["unpack_vs_anchor"] = unpack / anchor;
        std::printf(
            "vs_fs_anchor=%.2f (job %.2f s, anchor %.2f s: %.2f s before, %.2f s after)\n"
            "unpack_vs_anchor=%.2f (unpack %.2f s)\n",
            job / anchor, job, anchor, before, after, unpack / anchor, unpack);
        std::fflush(stdout);
    }
}

// The request list for every message, as the job writes it.
fs::path writeRequestList(Fixture& fixture) {
    std::string list = be32(kMessages) + std::string(12, '\0');
    for (int i = 0; i < kMessages; ++i) {
        const std::string name = stemOf(i) + ".vmdat";
        list += name + std::string(64 - name.size(), '\0');
    }
    const fs::path file = fixture.root / "bench.datco";
    orven::FileOps::replaceFileAtomically(file, list);
    return file;
}

// The main unit keeps a request list for its session only, so curl stores it and fetches the
// bundle over one connection (--next); SIZE is skipped, since a wildcard has no size.
void BM_CurlBundle(benchmark::State& state) {
    Fixture& fixture = Fixture::get();
    const std::string url = "ftp://maint:" + std::string(kPassword) +
                            "@127.0.0.1:" + std::to_string(fixture.server->port()) + kBox;
    const std::string command = "curl -sS -P 127.0.0.1 -T " + writeRequestList(fixture).string() +
                                " " + url +
                                "/bench.datco --next -sS -P 127.0.0.1 --globoff "
                                "--ignore-content-length -o /dev/null '" +
                                url + "/*.datco'";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (status != 0) {
            state.SkipWithError("curl failed (is it installed?)");
            return;
        }
        report(state, took.count(), fixture.bundleBytes);
        state.counters["vs_curl"] =
            fixture.jobBytesPerSecond / (static_cast<double>(fixture.bundleBytes) / took.count());
    }
}

}  // namespace

BENCHMARK(BM_BoxDownloadJob)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_CurlBundle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
