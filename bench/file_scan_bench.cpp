// Folder scans as the replay library runs them: a replay folder of 20 sub-
// folders with 200 replays each and as many other files, scanned
// recursively for "*.rpy" by CFileInfoArray, beside a plain recursive
// listing of the same folders by the standard library (the ratio is the
// price of sorting, the case-blind mask, the link-loop guard and the file
// times).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "settings/file_info_array.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Library() {
    static fixture::TempDir dir;
    static bool made = false;
    if (!made) {
        for (int f = 0; f < 20; ++f) {
            const fs::path folder = dir.path() / ("cd" + std::to_string(f));
            fs::create_directories(folder);
            for (int i = 0; i < 200; ++i) {
                std::ofstream(folder / ("race" + std::to_string(i) + ".RPY")) << "x";
                std::ofstream(folder / ("notes" + std::to_string(i) + ".txt")) << "x";
            }
        }
        made = true;
    }
    return dir.path();
}

void BM_AddDirRecursive(benchmark::State& state) {
    const std::string root = Library().string() + "/";
    for (auto _ : state) {
        CFileInfoArray files;
        benchmark::DoNotOptimize(files.AddDir(root, "*.rpy", true));
    }
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(BM_AddDirRecursive)->Unit(benchmark::kMillisecond);

void BM_PlainRecursiveListing(benchmark::State& state) {
    const fs::path root = Library();
    for (auto _ : state) {
        size_t n = 0;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.path().extension() == ".RPY") ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(BM_PlainRecursiveListing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
