// The export file's bytes, and what a failed export leaves behind.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "presentation/ExportFile.h"
#include "presentation/FieldText.h"
#include "presentation/OsNaming.h"
#include "tests/support/TempDirectory.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    return names;
}

struct Rows : ExportRows {
    std::vector<ExportRow> rows;
    std::map<std::uint32_t, std::string> attachments;
    int shrinkAfter = -1;  // drops the last row once this row was read

    int RowCount() override { return static_cast<int>(rows.size()); }
    bool ReadRow(int index, ExportRow& row) override {
        row = rows[index];
        if (index == shrinkAfter) rows.pop_back();
        return true;
    }
    bool AttachmentText(std::uint32_t key, std::string& text) override {
        const auto found = attachments.find(key);
        if (found == attachments.end()) return false;
        text = found->second;
        return true;
    }
};

ExportRow Row(std::uint32_t key, std::string description) {
    return {key, "Error", "03/04/2024 05:06:07", "0x0000002A", "Service", std::move(description)};
}

const std::string kHeader = ExportFile::FormatHeader("1.2.3", "4.5.6", "Linux", "", "01/02/2024 10:20:30");

const char kHeaderBytes[] =
    "==========Quillbridge Log==========\r\n"
    "Format: 1.0.0\r\n"
    "Service Version: 1.2.3\r\n"
    "Core DLL Version: 4.5.6\r\n"
    "Linux \r\n"
    "Exported At: 01/02/2024 10:20:30\r\n"
    "\r\n"
    "==========Log Messages==========\r\n"
    "\r\n";

// Makes writes beyond `bytes` fail with EFBIG, as a full disk would, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

}  // namespace

TEST(ExportFile, EmptyListGivesTheNineHeaderLines) {
    TempDirectory dir;
    Rows rows;
    ExportFile file;
    ASSERT_TRUE(file.Write(dir.File("log.txt"), kHeader, rows)) << file.Error();
    EXPECT_EQ(ReadFile(dir.File("log.txt")), kHeaderBytes);
}

TEST(ExportFile, RecordLinesAreWrittenAsTheyAre) {
    struct Case {
        const char* what;
        std::string description;
        const char* attachment;  // null: the row has none
        std::string line;
    };
    const std::string prefix = "03/04/2024 05:06:07,\tError,\t0x0000002A,\tService,\t";
    const Case cases[] = {
        {"no attachment", "plain", nullptr, prefix + "plain,\t\r\n"},
        {"commas and tabs", "a, b\tc", "0x00000007", prefix + "a, b\tc,\t0x00000007\r\n"},
        {"a line break", "first\r\nsecond", "x", prefix + "first\r\nsecond,\tx\r\n"},
        {"ANSI bytes", "caf\xE9 \xA9", "\xFC", prefix + "caf\xE9 \xA9,\t\xFC\r\n"},
        {"a NUL ends a text", std::string("cut\0hidden", 10), nullptr, prefix + "cut,\t\r\n"},
    };
    for (const Case& c : cases) {
        std::string line;
        ExportFile::AppendRecordLine(line, Row(1, c.description), c.attachment ? c.attachment : "");
        EXPECT_EQ(line, c.line) << c.what;
    }
}

TEST(ExportFile, RowsFollowTheHeaderInOrderWithTheirAttachments) {
    TempDirectory dir;
    Rows rows;
    rows.rows = {Row(7, "one"), Row(3, "two"), Row(9, "three")};
    AttachedData binary;
    binary.kind = 9;
    const std::uint8_t bytes[] = {0x01, 0xAB, 0xFF};
    binary.bytes.Assign(bytes, sizeof bytes);
    rows.attachments[3] = AttachedDataExportText(binary);
    ExportFile file;
    ASSERT_TRUE(file.Write(dir.File("log.txt"), kHeader, rows));
    const std::string prefix = "03/04/2024 05:06:07,\tError,\t0x0000002A,\tService,\t";
    EXPECT_EQ(ReadFile(dir.File("log.txt")), std::string(kHeaderBytes) + prefix + "one,\t\r\n" + prefix +
                                                 "two,\t[Binary]01ABFF\r\n" + prefix + "three,\t\r\n");
}

TEST(ExportFile, RowCountIsReadAgainAfterEveryRow) {
    TempDirectory dir;
    Rows rows;
    rows.rows = {Row(1, "one"), Row(2, "two"), Row(3, "three")};
    rows.shrinkAfter = 0;
    ExportFile file;
    ASSERT_TRUE(file.Write(dir.File("log.txt"), kHeader, rows));
    const std::string text = ReadFile(dir.File("log.txt"));
    EXPECT_NE(text.find("two"), std::string::npos);
    EXPECT_EQ(text.find("three"), std::string::npos);
}

TEST(ExportFile, LargeExportMatchesItsRowsByteForByte) {
    TempDirectory dir;
    Rows rows;
    std::string expected = kHeaderBytes;
    for (std::uint32_t i = 0; i < 40000; ++i) {
        rows.rows.push_back(Row(i, "record number " + std::to_string(i)));
        if (i % 3 == 0) rows.attachments[i] = std::to_string(i * 7);
        ExportFile::AppendRecordLine(expected, rows.rows.back(), i % 3 == 0 ? std::to_string(i * 7) : "");
    }
    ExportFile file;
    ASSERT_TRUE(file.Write(dir.File("big.txt"), kHeader, rows));
    EXPECT_EQ(ReadFile(dir.File("big.txt")), expected);
}

TEST(ExportFile, HeaderFromVersionsAndOperatingSystem) {
    // The first read fails; the export reads again and names the system.
    bool answer = false;
    OsNaming os(
        [&answer](OSVERSIONINFOA* info) -> BOOL {
            if (!answer) return FALSE;
            info->dwPlatformId = 2;
            info->dwMajorVersion = 5;
            info->dwMinorVersion = 1;
            info->dwBuildNumber = 2600;
            std::strcpy(info->szCSDVersion, "Service Pack 2");
            return TRUE;
        },
        nullptr);
    os.ReadVersionInformation();
    ASSERT_FALSE(os.IsRead());
    answer = true;

    FILETIME now{0xD53E8000, 0x01D9B1F0};
    const std::string header = ExportFile::BuildExportHeader(0, (2u << 24) | (7u << 16) | 300u, os, now);
    EXPECT_TRUE(os.IsRead());
    EXPECT_NE(header.find("\r\nService Version: 0.0.0\r\nCore DLL Version: 2.7.300\r\n"), std::string::npos);
    EXPECT_NE(header.find("\r\nWindows XP Service Pack 2\r\n"), std::string::npos);
    EXPECT_NE(header.find("\r\nExported At: " + FormatLogTime(now) + "\r\n"), std::string::npos);
}

TEST(ExportFile, ReplacesAnExistingFileKeepingItsPermissions) {
    TempDirectory dir;
    const std::string path = dir.File("log.txt");
    WriteFile(path, "old contents");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(symlink("log.txt", dir.File("link.txt").c_str()), 0);
    Rows rows;
    ExportFile file;
    ASSERT_TRUE(file.Write(dir.File("link.txt"), kHeader, rows));
    EXPECT_EQ(ReadFile(path), kHeaderBytes);
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    struct stat link {};
    ASSERT_EQ(lstat(dir.File("link.txt").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link is kept, its target replaced";
    EXPECT_EQ(Entries(dir.Path()).size(), 2u);
}

TEST(ExportFile, FailuresAreReportedAndLeaveTheOldFileWhole) {
    TempDirectory dir;
    Rows rows;
    ExportFile file;
    EXPECT_FALSE(file.Write(dir.File("missing/log.txt"), kHeader, rows));
    EXPECT_EQ(file.Error(), std::strerror(ENOENT));

    EXPECT_FALSE(file.Write(dir.Path(), kHeader, rows));
    EXPECT_EQ(file.Error(), std::strerror(EISDIR));

    const std::string path = dir.File("log.txt");
    WriteFile(path, "keep me");
    for (std::uint32_t i = 0; i < 5000; ++i) rows.rows.push_back(Row(i, std::string(100, 'x')));
    {
        FileSizeLimit limit(64 * 1024);  // a full disk after 64 KiB
        EXPECT_FALSE(file.Write(path, kHeader, rows));
    }
    EXPECT_EQ(file.Error(), std::strerror(EFBIG));
    EXPECT_EQ(ReadFile(path), "keep me");
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"log.txt"}) << "no temporary file is left";

    EXPECT_TRUE(file.Write(path, kHeader, rows));
    EXPECT_EQ(file.Error(), "");
}
