// Export of a million rows of the record list's lengths: the bytes per second of file written
// through the export (rows read one at a time, lines formatted, buffered, synced and renamed),
// against writing the same bytes with one write call and a sync in the same run. The goal is
// 200 MB/s: the ratio's goal is the baseline's rate over 200 MB/s.
// Times are the thread's processor time (user and system, so the copies into the page cache
// count, the wait for the disk does not): the machine may be busy with others.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "presentation/ExportFile.h"
#include "tests/support/TempDirectory.h"

namespace {

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int kRows = 1'000'000;
constexpr double kGoalBytesPerSecond = 200e6;
constexpr const char* kLevels[] = {"Info", "Warning", "Error", "Fatal"};
constexpr const char* kSources[] = {"Engine", "GUI", "Service", "Driver"};

// The rows as the list keeps them: five texts each, attachments by key.
struct MemoryRows : ExportRows {
    std::vector<ExportRow> rows;
    std::vector<std::string> attachments;  // by key; empty: none

    int RowCount() override { return static_cast<int>(rows.size()); }
    bool ReadRow(int index, ExportRow& row) override {
        const ExportRow& from = rows[index];
        row.recordKey = from.recordKey;
        row.level.assign(from.level);
        row.time.assign(from.time);
        row.status.assign(from.status);
        row.source.assign(from.source);
        row.description.assign(from.description);
        return true;
    }
    bool AttachmentText(std::uint32_t key, std::string& text) override {
        if (attachments[key].empty()) return false;
        text.assign(attachments[key]);
        return true;
    }
};

MemoryRows& Rows() {
    static MemoryRows rows = [] {
        MemoryRows r;
        r.rows.reserve(kRows);
        r.attachments.resize(kRows);
        char time[32], status[16];
        for (int i = 0; i < kRows; ++i) {
            std::snprintf(time, sizeof time, "%02d/%02d/2024 %02d:%02d:%02d", 1 + i % 12, 1 + i % 28, i % 24, i % 60,
                          (i / 60) % 60);
            std::snprintf(status, sizeof status, "0x%08X", i);
            r.rows.push_back({static_cast<std::uint32_t>(i), kLevels[i % 4], time, status, kSources[i % 4],
                              "Connection " + std::to_string(i) + " to the gateway was established again after " +
                                  std::to_string(i % 90) + " seconds"});
            if (i % 4 == 0) r.attachments[i] = "0x0000002A";
        }
        return r;
    }();
    return rows;
}

void ExportMillionRows(benchmark::State& state) {
    TempDirectory dir;
    MemoryRows& rows = Rows();
    const std::string header = ExportFile::FormatHeader("1.2.3", "4.5.6", "Linux", "", "01/02/2024 10:20:30");
    const std::string path = dir.File("export.txt");
    const std::string plain = dir.File("plain.txt");

    // The same bytes, for the baseline.
    std::string bytes = header + "\r\n";
    std::string attachment;
    for (int i = 0; i < kRows; ++i) ExportFile::AppendRecordLine(bytes, rows.rows[i], rows.attachments[i]);

    double exportSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        ExportFile file;
        if (!file.Write(path, header, rows)) state.SkipWithError(file.Error().c_str());
        const double middle = ThreadSeconds();
        const int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ::fsync(fd);
        ::close(fd);
        const double end = ThreadSeconds();
        if (!written) state.SkipWithError("the baseline's write failed");
        exportSeconds += middle - start;
        plainSeconds += end - middle;
        state.SetIterationTime(middle - start);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["export_MBps"] = static_cast<double>(bytes.size()) / (exportSeconds / n) / 1e6;
    state.counters["write_MBps"] = static_cast<double>(bytes.size()) / (plainSeconds / n) / 1e6;
    state.counters["ratio"] = exportSeconds / plainSeconds;
    state.counters["goal"] = (static_cast<double>(bytes.size()) / (plainSeconds / n)) / kGoalBytesPerSecond;
}

BENCHMARK(ExportMillionRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
