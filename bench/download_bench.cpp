// One bulk box download of 2 000 messages with voice data (about 200 MB) from the main unit
// stand-in over loopback: the box download job (request list, one bundle, unpacked into the
// box folder) next to curl storing the same request list and fetching the same bundle in
// active mode into /dev/null.
//
// Reproduce:  cmake --build build --target download_bench && build/bench/download_bench
// Counters: messages_per_s and MB_per_s for both; "vs_curl" on the curl case is the job's
// byte rate divided by curl's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <stdlib.h>

#include "link/BoxDownloadJob.h"
#include "mainunit/MainUnitServer.h"
#include "platform/FileOps.h"
#include "platform/LocalFileSystem.h"
#include "platform/SystemClock.h"

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
        for (int i = 0; i < kMessages; ++i) {
            const std::string stem = stemOf(i);
            std::string header(256, '\0');
            header.replace(0, stem.size() + 6, stem + ".vmdat");
            header.replace(64, 16, "Zu-KA Voice-data");
            orven::FileOps::replaceFileAtomically(box / (stem + ".vminf"), header);
            orven::FileOps::replaceFileAtomically(
                box / (stem + ".vmdat"),
                header + be32(static_cast<std::uint32_t>(voice.size())) + voice);
            bundleBytes += static_cast<std::int64_t>(header.size() + 4 + voice.size());
        }
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

void BM_BoxDownloadJob(benchmark::State& state) {
    Fixture& fixture = Fixture::get();
    orven::SystemClock clock;
    orven::LocalFileSystem fileSystem;
    for (auto _ : state) {
        const fs::path local = fixture.root / "local" / "rusuroku" / "0101";
        fs::remove_all(fixture.root / "local");
        fs::create_directories(local);
        orven::FtpEnvironment ftpEnvironment;
        ftpEnvironment.defaultLocalDirectory = fixture.root / "local";
        orven::CFtpMng ftp(ftpEnvironment);
        if (ftp.Login("127.0.0.1", "maint", kPassword, fixture.server->port()) != 0) {
            state.SkipWithError("log-in to the stand-in failed");
            return;
        }
        orven::JobEnvironment env;
        env.ftp = &ftp;
        env.store.clock = &clock;
        env.store.fileSystem = &fileSystem;
        int chosen = 0;
        int stored = 0;
        const auto start = std::chrono::steady_clock::now();
        const int result =
            orven::BoxDownloadJob(env).DownloadBox(local, chosen, kBox, stored, false, false);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        ftp.Logout();
        if (result != 0 || stored != kMessages) {
            state.SkipWithError("the download did not store every message");
            return;
        }
        fixture.jobBytesPerSecond = static_cast<double>(fixture.bundleBytes) / took.count();
        report(state, took.count(), fixture.bundleBytes);
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
