// A list window scans a box folder of up to 50 000 messages when it opens, and the main window
// counts the store after every download. These measure both on a full box folder against the
// least any scan must do: open, read and close the first 1266 bytes of every message file.
//
// Goal: ScanFolder within 3x the baseline. The folder is made once per run (warm page cache);
// the peak memory counter is the process's peak resident size after the benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include "store/HeaderBlock.h"
#include "store/MessageFolder.h"

namespace {

namespace fs = std::filesystem;
constexpr int kMessages = 50000;

std::string messageBytes(int number) {
    orven::FILESTS_INFO record = orven::FILESTS_INFO::zeroed();
    orven::FILESTS_INFO::setText(record.recordingLength, "00:00:05");
    orven::FILESTS_INFO::setText(record.callerNumber, std::to_string(number));
    orven::HeaderBlock block;
    block.setSignature();
    return record.toBytes() + block.str();
}

// A box folder full of messages, removed at exit.
class FullBox {
  public:
    FullBox() {
        std::string pattern = (fs::temp_directory_path() / "orven-bench-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
        m_box = m_root / "rusuroku" / "0101";
        fs::create_directories(m_box);
        std::ofstream(m_box / "inf.ini") << "[INF]\r\nNAME=\"Sales\"\r\n";
        for (int i = 0; i < kMessages; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "202401050930_FRI_0101_%05d.vminf", i);
            m_files.push_back(m_box / name);
            std::ofstream(m_files.back(), std::ios::binary) << messageBytes(i);
        }
    }
    ~FullBox() {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    const fs::path& box() const { return m_box; }
    const std::vector<fs::path>& files() const { return m_files; }

  private:
    fs::path m_root;
    fs::path m_box;
    std::vector<fs::path> m_files;
};

const FullBox& fullBox() {
    static const FullBox box;
    return box;
}

void reportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ReadBaseline(benchmark::State& state) {
    const FullBox& box = fullBox();
    char bytes[1266];
    for (auto _ : state) {
        std::size_t total = 0;
        for (const fs::path& file : box.files()) {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            total += static_cast<std::size_t>(::read(fd, bytes, sizeof bytes));
            ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    reportPeakMemory(state);
}
BENCHMARK(BM_ReadBaseline)->Unit(benchmark::kMillisecond);

void BM_ScanFolder(benchmark::State& state) {
    const FullBox& box = fullBox();
    orven::StoreContext context;
    orven::MessageFolder folder(context);
    for (auto _ : state) {
        std::vector<orven::FILESTS_INFO> records;
        if (folder.ScanFolder(records, box.box()) != 0 || records.size() != kMessages) {
            state.SkipWithError("scan failed");
            break;
        }
        benchmark::DoNotOptimize(records.data());
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    reportPeakMemory(state);
}
BENCHMARK(BM_ScanFolder)->Unit(benchmark::kMillisecond);

void BM_CountMessages(benchmark::State& state) {
    const FullBox& box = fullBox();
    orven::StoreContext context;
    orven::MessageFolder folder(context);
    for (auto _ : state) {
        if (folder.CountMessages(box.box()) != kMessages) {
            state.SkipWithError("count failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
    reportPeakMemory(state);
}
BENCHMARK(BM_CountMessages)->Unit(benchmark::kMillisecond);

}  // namespace
