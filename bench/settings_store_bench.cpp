// The settings file as an unattended run uses it: the settings are loaded
// at start, the document is made and destroyed (which saves what changed:
// nothing), and the values are read as the run goes on; against parsing
// the same file once and reading it with plain read(). A run parses the
// file once whatever its size (the "parses" counter), so its time follows
// one parse of the file (the ratio printed after the runs stays near 1).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench_support.h"
#include "lists_only.h"
#include "document/rpy_graph_doc.h"
#include "interaction/batch_interaction.h"
#include "settings/hive_cache.h"
#include "settings/registry.h"
#include "settings/registry_store.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

fs::path BenchFolder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-settings";
    fs::create_directories(dir);
    return dir;
}

// A settings file of about `bytes` bytes: the program's own values, then
// keys of other programs' values, as a file carried along for years holds.
fs::path SettingsFile(int64_t bytes) {
    const fs::path folder = BenchFolder() / ("config-" + std::to_string(bytes));
    const fs::path file = folder / "current_user.reg";
    if (!fs::exists(file)) {
        fs::create_directories(folder);
        std::string text =
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\r\n"
            "\"QELDirectory\"=\"/srv/qel\"\r\n\"BMPSizeInPixel\"=dword:00000400\r\n\"MPH\"=dword:00000001\r\n"
            "\"RecordsPath\"=\"/srv/records\"\r\n\r\n";
        for (int key = 0; static_cast<int64_t>(text.size()) < bytes; ++key) {
            text += "[HKEY_CURRENT_USER\\Software\\Other\\Key" + std::to_string(key) + "]\r\n";
            for (int v = 0; v < 100 && static_cast<int64_t>(text.size()) < bytes; ++v) {
                char line[64];
                std::snprintf(line, sizeof line, "\"Value%d\"=dword:%08x\r\n", v, key * 100 + v);
                text += line;
            }
            text += "\r\n";
        }
        std::ofstream(file, std::ios::binary) << text;
    }
    // Written long ago, as a settings file usually is.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), old, 0);
    return file;
}

void BM_ReadWholeFile(benchmark::State& state) {
    const std::string path = SettingsFile(state.range(0)).string();
    for (auto _ : state) benchmark::DoNotOptimize(bench::ReadWholeFile(path));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

void BM_ParseOnce(benchmark::State& state) {
    const fs::path path = SettingsFile(state.range(0));
    for (auto _ : state) {
        RegistryStore store;
        if (store.Load(path) != RegistryStore::LoadResult::kLoaded) state.SkipWithError("the file did not parse");
        benchmark::DoNotOptimize(store.KeyCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

void BM_UnattendedRun(benchmark::State& state) {
    const fs::path path = SettingsFile(state.range(0));
    ::setenv("OSTREVAN_CONFIG_DIR", path.parent_path().c_str(), 1);
    const std::string before = std::to_string(fs::last_write_time(path).time_since_epoch().count());
    std::ostringstream quiet;
    BatchInteraction ui(&quiet);
    size_t parses = 0;
    for (auto _ : state) {
        HiveCache::Reset();  // a new run
        const size_t start = HiveCache::ParseCount();
        Settings settings;
        settings.Load();
        {
            CRpyGraphDoc doc(settings, ui);
            CRegistry reg(RegistryHive::kCurrentUser);
            reg.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey);
            std::string folder;
            for (int i = 0; i < 10; ++i) reg.ReadString("RecordsPath", folder);
        }
        parses = HiveCache::ParseCount() - start;
    }
    if (std::to_string(fs::last_write_time(path).time_since_epoch().count()) != before)
        state.SkipWithError("the run wrote the settings file");
    state.counters["parses"] = static_cast<double>(parses);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

constexpr int64_t kSizes[] = {414, 1 << 20, 8 << 20, 60 << 20};

}  // namespace

int main(int argc, char** argv) {
    const bool lists_only = bench::ListsOnly(argc, argv);
    if (!lists_only) ::setenv("WINEPREFIX", (BenchFolder() / "no-wine").c_str(), 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (int64_t size : kSizes) {
        if (!lists_only) SettingsFile(size);  // generated before any timing
        benchmark::RegisterBenchmark("BM_ReadWholeFile", BM_ReadWholeFile)->Arg(size)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ParseOnce", BM_ParseOnce)->Arg(size)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_UnattendedRun", BM_UnattendedRun)->Arg(size)->Unit(benchmark::kMillisecond);
    }
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int64_t size : kSizes) {
        std::string arg = "/";
        arg += std::to_string(size);
        const double parse = reporter.Time("BM_ParseOnce" + arg), run = reporter.Time("BM_UnattendedRun" + arg),
                     read = reporter.Time("BM_ReadWholeFile" + arg);
        if (parse > 0 && read > 0)
            std::printf("settings file of %lld bytes: run / one parse = %.2f, run / plain read = %.1f\n",
                        static_cast<long long>(size), run / parse, run / read);
    }
    benchmark::Shutdown();
    return 0;
}
