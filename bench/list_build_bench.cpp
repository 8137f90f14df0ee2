// A list window over a box of 50 000 messages: how long the first build takes (reading the
// store and getting the model ready) against the least any build must do (open, read and close
// the first 1266 bytes of every message file, measured in the same run), how long the longest
// sort by a header click takes, how much memory four such windows take against their row
// records, and the longest time the event loop was not served during a build.
//
// Goals: worst_sort_ms under 200, vs_row_bytes under 1.3, max_stall_ms under 100. The view
// runs on Qt's offscreen platform; the store is written once per run (warm page cache).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "app/CommandContext.h"
#include "app/SessionController.h"
#include "app/ui/QtUi.h"
#include "list/ui/CDataListCtrl.h"
#include "list/ui/CListDispView.h"
#include "list/ui/ListHost.h"
#include "platform/ProfileFile.h"
#include "store/HeaderBlock.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kMessages = 50000;
constexpr int kWindows = 4;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Varied fields, so that every column has something to sort.
std::string messageBytes(int n) {
    orven::FILESTS_INFO record = orven::FILESTS_INFO::zeroed();
    char text[64];
    std::snprintf(text, sizeof text, "2024/%02d/%02d %02d:%02d", 1 + n % 12, 1 + n % 28, n % 24,
                  n % 60);
    orven::FILESTS_INFO::setText(record.recordingDate, text);
    std::snprintf(text, sizeof text, "00:%02d:%02d", n % 7, n % 60);
    orven::FILESTS_INFO::setText(record.recordingLength, text);
    orven::FILESTS_INFO::setText(record.callerNumber, std::to_string(900000 + n * 7919 % 100000));
    std::snprintf(text, sizeof text, n % 2 == 0 ? "caller %d" : "Caller %d", n % 997);
    orven::FILESTS_INFO::setText(record.callerName, text);
    orven::FILESTS_INFO::setText(record.title, n % 3 == 0 ? "商談" : "");
    record.mark = static_cast<std::uint8_t>(n % 5 == 0);
    record.played = static_cast<std::uint8_t>(n % 2);
    record.protect = static_cast<std::uint8_t>(n % 9 == 0);
    record.downloadState = static_cast<std::uint8_t>(n % 4);
    orven::HeaderBlock block;
    block.setSignature();
    return record.toBytes() + block.str();
}

// A data folder with one store whose box folder holds the messages; half have voice files.
class FullStore {
  public:
    FullStore() {
        std::string pattern = (fs::temp_directory_path() / "orven-list-bench-XXXXXX").string();
        m_data = mkdtemp(pattern.data());
        const fs::path box = m_data / "DL_1" / "rusuroku" / "0101";
        fs::create_directories(box);
        for (int i = 0; i < kMessages; ++i) {
            char stem[64];
            std::snprintf(stem, sizeof stem, "202401050930_FRI_%04d_%05d", 101 + i % 40, i);
            m_files.push_back(box / (std::string(stem) + ".vminf"));
            std::ofstream(m_files.back(), std::ios::binary) << messageBytes(i);
            if (i % 2 == 0) {
                std::ofstream(box / (std::string(stem) + ".aac")) << "voice";
            }
        }
    }
    ~FullStore() {
        std::error_code ec;
        fs::remove_all(m_data, ec);
    }
    const fs::path& data() const { return m_data; }
    const std::vector<fs::path>& files() const { return m_files; }

  private:
    fs::path m_data;
    std::vector<fs::path> m_files;
};

const FullStore& fullStore() {
    static const FullStore store;
    return store;
}

QApplication& application() {
    static int argc = 1;
    static char name[] = "list_build_bench";
    static char* argv[] = {name, nullptr};
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Left to the end of the process: destroying it after main would outlive the platform.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class QuietSession : public orven::SessionView {
  public:
    void setKeepAliveTimer(bool) override {}
    void setBackupTimer(bool) override {}
    void sessionChanged() override {}
};

// What the main window gives list windows, with every slot showing the full box.
struct Host {
    orven::Timing timing;
    orven::ui::QtUi ui{timing};
    orven::CORVENDoc doc;
    QuietSession quiet;
    orven::ProfileFile settings{fullStore().data() / "ORVEN.ini"};
    orven::SessionController session{{ui, timing, fullStore().data(), 1}, doc, quiet};
    orven::CommandContext context{session, doc, settings, ui, {}, fullStore().data() / "holding"};
    orven::ui::ListHost host{context, {}, [] { return 0; }, {}, {}};

    Host() {
        doc.dataFolder = fullStore().data().string() + "/";
        for (std::size_t i = 0; i < doc.columns.size(); ++i) {
            doc.columns[i].setUtf16(std::u16string(orven::ListColumns::boxCatalogue()[i].name));
        }
        for (int n = 0; n < kWindows; ++n) {
            doc.windowFolderNames[static_cast<std::size_t>(n)] = "DL_1";
            doc.windowBoxLists[static_cast<std::size_t>(n)] = "留守録BOX：0101";
        }
    }

    // A window, built as it is shown; maxStallMs receives the longest gap between two turns
    // of the event loop during the build.
    std::unique_ptr<orven::ui::CListDispView> open(int number, double& maxStallMs) {
        auto view = std::make_unique<orven::ui::CListDispView>(host, number);
        view->resize(1000, 600);
        Clock::time_point last = Clock::now();
        maxStallMs = 0;
        QTimer beat;
        beat.setInterval(0);
        QObject::connect(&beat, &QTimer::timeout, [&] {
            maxStallMs = std::max(maxStallMs, msSince(last));
            last = Clock::now();
        });
        beat.start();
        last = Clock::now();
        view->show();
        maxStallMs = std::max(maxStallMs, msSince(last));
        return view;
    }
};

std::size_t residentBytes() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

double rawReadMs() {
    const auto start = Clock::now();
    char bytes[1266];
    std::size_t total = 0;
    for (const fs::path& file : fullStore().files()) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        total += static_cast<std::size_t>(::read(fd, bytes, sizeof bytes));
        ::close(fd);
    }
    benchmark::DoNotOptimize(total);
    return msSince(start);
}

void BM_FourWindowsMemory(benchmark::State& state) {
    application();
    fullStore();
    Host host;
    double stall = 0;
    host.open(1, stall).reset();  // fonts, styles and the first allocations of Qt
    for (auto _ : state) {
        const std::size_t before = residentBytes();
        std::vector<std::unique_ptr<orven::ui::CListDispView>> windows;
        std::size_t rowBytes = 0;
        for (int n = 1; n <= kWindows; ++n) {
            windows.push_back(host.open(n, stall));
            rowBytes += static_cast<std::size_t>(windows.back()->list().rowCount()) *
                        orven::FILESTS_INFO::kSize;
        }
        const std::size_t grown = residentBytes() - before;
        state.counters["rows"] = windows.front()->list().rowCount();
        state.counters["window_MB"] = static_cast<double>(grown) / kWindows / 1e6;
        state.counters["vs_row_bytes"] = static_cast<double>(grown) / static_cast<double>(rowBytes);
    }
}
BENCHMARK(BM_FourWindowsMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BuildVsRawRead(benchmark::State& state) {
    application();
    Host host;
    double buildMs = 0;
    double rawMs = 0;
    double worstStall = 0;
    for (auto _ : state) {
        double stall = 0;
        const auto start = Clock::now();
        auto view = host.open(1, stall);
        const double ms = msSince(start);
        if (view->list().rowCount() != kMessages) {
            state.SkipWithError("the list is not full");
            break;
        }
        buildMs += ms;
        rawMs += rawReadMs();
        worstStall = std::max(worstStall, stall);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["build_ms"] = buildMs / static_cast<double>(state.iterations());
    state.counters["raw_read_ms"] = rawMs / static_cast<double>(state.iterations());
    state.counters["vs_raw_read"] = buildMs / rawMs;
    state.counters["max_stall_ms"] = worstStall;
}
BENCHMARK(BM_BuildVsRawRead)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each header click applies the default order and then sorts by the column, moving the
// selection (here a tenth of the rows) with the rows.
void BM_SortByEveryColumn(benchmark::State& state) {
    application();
    Host host;
    double stall = 0;
    auto view = host.open(1, stall);
    orven::ui::CDataListCtrl* table = view->control();
    QItemSelection tenth;
    for (int row = 0; row < kMessages; row += 10) {
        tenth.select(table->model()->index(row, 0), table->model()->index(row, 0));
    }
    table->selectionModel()->select(tenth, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QHeaderView* header = table->horizontalHeader();
    double worst = 0;
    for (auto _ : state) {
        for (int column = 0; column < table->model()->columnCount(); ++column) {
            const auto start = Clock::now();
            emit header->sectionClicked(column);
            worst = std::max(worst, msSince(start));
        }
    }
    state.counters["worst_sort_ms"] = worst;
}
BENCHMARK(BM_SortByEveryColumn)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
