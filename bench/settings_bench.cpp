// Start-up reads every setting and exit writes them back, one profile call per key, as the
// Windows profile functions do. These measure both on a settings file of realistic size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <stdlib.h>

#include "app/Settings.h"

namespace {

std::filesystem::path scratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orven-bench-XXXXXX").string();
    return mkdtemp(pattern.data());
}

orven::CORVENDoc fullDoc() {
    orven::CORVENDoc doc;
    doc.savedAddress = "192.168.100.200";
    doc.dataFolder = "/home/jimu/音声データ/";
    doc.currentFolderName = "本社";
    doc.windowCount = 4;
    for (int n = 0; n < 4; ++n) {
        std::string boxes = "留守録BOX:";
        for (int box = 1; box <= 60; ++box) {
            boxes += std::to_string(box) + "?";
        }
        doc.windowBoxLists[n] = boxes;
        doc.windowFolderNames[n] = "本社";
    }
    return doc;
}

void BM_SaveSettings(benchmark::State& state) {
    const auto folder = scratchFolder();
    orven::ProfileFile file(folder / "ORVEN.ini", orven::ProfileFile::Encoding::Utf16Le, 0600);
    for (auto _ : state) {
        orven::CORVENDoc doc = fullDoc();
        int open = 4;
        benchmark::DoNotOptimize(orven::Settings::SaveSettings(doc, file, open));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
    const auto folder = scratchFolder();
    orven::ProfileFile file(folder / "ORVEN.ini", orven::ProfileFile::Encoding::Utf16Le, 0600);
    orven::CORVENDoc saved = fullDoc();
    int open = 4;
    orven::Settings::SaveSettings(saved, file, open);
    for (auto _ : state) {
        orven::CORVENDoc doc;
        orven::Settings::LoadSettings(doc, file);
        benchmark::DoNotOptimize(doc.windowCount);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

}  // namespace
