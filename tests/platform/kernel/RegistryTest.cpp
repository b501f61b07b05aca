// The per-user registry: values and their file, handles, damaged and unwritable files, and
// several processes and threads saving at once.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "platform/kernel/Registry.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestNames.h"

using namespace std::string_literals;

namespace {

std::string Hex(const std::string& bytes) {
    if (bytes.empty()) return "-";
    std::string out;
    char pair[3];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        out += pair;
    }
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int CountLines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

HKEY Create(const std::string& path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &key, disposition),
              ERROR_SUCCESS)
        << path;
    return key;
}

LONG Open(const std::string& path, HKEY& key, REGSAM access = KEY_ALL_ACCESS) {
    key = nullptr;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key);
}

LONG Set(HKEY key, const std::string& name, DWORD type, const std::string& data) {
    return RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

LONG SetText(HKEY key, const std::string& name, const std::string& text) { return Set(key, name, REG_SZ, text + '\0'); }

// The value's type and bytes, or the error as the type with no bytes.
std::pair<DWORD, std::string> Get(HKEY key, const std::string& name) {
    DWORD type = 0, size = 0;
    if (LONG error = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size)) return {error, "error"};
    std::string data(size, '\0');
    if (LONG error = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size))
        return {error, "error"};
    return {type, data.substr(0, size)};
}

std::string Text(HKEY key, const std::string& name) {
    auto [type, data] = Get(key, name);
    return type == REG_SZ && !data.empty() ? data.substr(0, data.size() - 1) : "<" + std::to_string(type) + ">";
}

// The names an enumeration (RegEnumKeyExA or RegEnumValueA) lists, up to ERROR_NO_MORE_ITEMS.
template <class Enumerate>
std::vector<std::string> Names(HKEY key, Enumerate enumerate) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        LONG error = enumerate(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (error != ERROR_SUCCESS) {
            EXPECT_EQ(error, ERROR_NO_MORE_ITEMS);
            return names;
        }
        names.emplace_back(name, length);
    }
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { Use(home_.Path()); }

    void Use(const std::string& configHome) {
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", configHome.c_str(), 1), 0);
        folder_ = configHome + "/quillbridge-log-viewer";
    }
    // A settings root of its own for each test; its file name has no escapes.
    static std::string NewRoot(const std::string& label) {
        std::string name = UniqueName(label);
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    }
    std::string FileOf(const std::string& root) const { return folder_ + "/" + root + ".ini"; }

    // What another process sees: "<name> <type> <data>" per value (hex), as the helper prints it.
    static std::vector<std::string> DumpFromOtherProcess(const std::string& key) {
        ProgramResult result = RunProgram({REGISTRY_TEST_HELPER, "dump", key});
        EXPECT_EQ(result.exitCode, 0) << key;
        std::vector<std::string> lines;
        std::istringstream in(result.out);
        for (std::string line; std::getline(in, line) && line != "end";) lines.push_back(line);
        return lines;
    }

    TempDirectory home_;
    std::string folder_;
};

}  // namespace

TEST_F(Registry, EveryKindOfValueReadsBackTheSameInThisAndAnotherProcess) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
    struct Case {
        std::string name;
        DWORD type;
        std::string data;
    };
    const std::vector<Case> cases = {
        {"", REG_SZ, "the default value\0"s},
        {"text", REG_SZ, "line one\nline two = \"quoted\" \\ back\ttab\r\0"s},
        {"caf\xc3\xa9 = \xff", REG_SZ, "caf\xc3\xa9 \xe2\x82\xac, Latin-1 \xe9, stray \x80\xbf\xff\0"s},
        {"line\nbreak \"quoted\"", REG_EXPAND_SZ, "%HOME%/logs\0"s},
        {"list", REG_MULTI_SZ, "one\0two = 2\0\0"s},
        {"empty list", REG_MULTI_SZ, "\0"s},
        {"unterminated list", REG_MULTI_SZ, "one\0two"s},
        {"no null", REG_SZ, "abc"s},
        {"inner null", REG_SZ, "a\0b\0"s},
        {"no bytes as text", REG_SZ, ""s},
        {"dword", REG_DWORD, "\x78\x56\x34\x12"s},
        {"short dword", REG_DWORD, "\x01\x02"s},
        {"qword", REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x88"s},
        {"bytes 0 to 255", REG_BINARY, allBytes},
        {"no bytes", REG_BINARY, ""s},
        {"own type", 0x12345678, "\x00\x01"s},
        {"none", REG_NONE, ""s},
    };
    // Key names may hold anything but the backslash, too.
    const std::string path = "Software\\" + NewRoot("types") + "\\100% [App] caf\xc3\xa9\\\x01\xff\x7f=\"";
    HKEY key = Create(path);
    for (const auto& c : cases) ASSERT_EQ(Set(key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        EXPECT_EQ(Get(key, c.name), std::make_pair(c.type, c.data)) << c.name;
        expected.push_back(Hex(c.name) + " " + std::to_string(c.type) + " " + Hex(c.data));
    }
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(DumpFromOtherProcess(path), expected);
}

TEST_F(Registry, TheFileIsReadableTextWithOwnerOnlyModes) {
    HKEY recent = Create("Software\\Quillbridge Log Viewer\\Quillbridge Log Viewer\\Recent File List");
    EXPECT_EQ(SetText(recent, "File1", "/home/ann/logs/export one.txt"), ERROR_SUCCESS);
    EXPECT_EQ(SetText(recent, "File2", "C:\\old \"path\""), ERROR_SUCCESS);
    HKEY settings = Create("software\\quillbridge log viewer\\Quillbridge Log Viewer\\Settings");
    EXPECT_EQ(Set(settings, "FlatToolBar 1", REG_BINARY, "\x0a\x00\xff\x7f"s), ERROR_SUCCESS);
    EXPECT_EQ(Set(settings, "Count", REG_DWORD, "\x04\x00\x00\x00"s), ERROR_SUCCESS);
    EXPECT_EQ(Set(settings, "", REG_MULTI_SZ, "a\0b\0\0"s), ERROR_SUCCESS);
    HKEY empty = Create("Software\\Quillbridge Log Viewer\\Quillbridge Log Viewer\\Settings\\Empty");
    EXPECT_EQ(RegCloseKey(empty), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(recent), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(settings), ERROR_SUCCESS);

    const std::string file = folder_ + "/quillbridge-log-viewer.ini";
    EXPECT_EQ(ReadFile(file),
              "; Settings of the Quillbridge Log Viewer, rewritten by the program when it saves them.\n"
              "; Each [section] is a key below HKEY_CURRENT_USER; docs/settings-on-linux.md describes the values.\n"
              "\n"
              "[Software\\Quillbridge Log Viewer\\Quillbridge Log Viewer\\Recent File List]\n"
              "\"File1\"=\"/home/ann/logs/export one.txt\"\n"
              "\"File2\"=\"C:\\\\old \\\"path\\\"\"\n"
              "\n"
              "[Software\\Quillbridge Log Viewer\\Quillbridge Log Viewer\\Settings]\n"
              "\"FlatToolBar 1\"=hex:0a,00,ff,7f\n"
              "\"Count\"=dword:00000004\n"
              "@=multi:\"a\",\"b\"\n"
              "\n"
              "[Software\\Quillbridge Log Viewer\\Quillbridge Log Viewer\\Settings\\Empty]\n");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(FolderEntries(folder_),
              (std::vector<std::string>{"quillbridge-log-viewer.ini", "quillbridge-log-viewer.ini.lock"}))
        << "no temporary file is left behind";
}

TEST_F(Registry, QueriesFollowTheSizeProtocol) {
    HKEY key = Create("Software\\" + NewRoot("sizes") + "\\Key");
    ASSERT_EQ(SetText(key, "v", "hello"), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "bare", REG_SZ, "abc"), ERROR_SUCCESS);

    struct Case {
        const char* name;
        bool withData;
        DWORD size;
        LONG result;
        DWORD sizeAfter;
        std::string bytes;  // the start of the buffer afterwards
    };
    const Case cases[] = {
        {"v", false, 0, ERROR_SUCCESS, 6, ""},
        {"v", true, 6, ERROR_SUCCESS, 6, "hello\0"s},
        {"v", true, 5, ERROR_MORE_DATA, 6, "#####"},
        {"v", true, 0, ERROR_MORE_DATA, 6, ""},
        {"v", true, 9, ERROR_SUCCESS, 6, "hello\0###"s},
        {"bare", true, 3, ERROR_SUCCESS, 3, "abc"},
        {"bare", true, 5, ERROR_SUCCESS, 3, "abc\0#"s},  // null added after a bare string
        {"missing", true, 9, ERROR_FILE_NOT_FOUND, 9, "#########"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " size " + std::to_string(c.size));
        std::string buffer(16, '#');
        DWORD size = c.size, type = 0;
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type,
                                   c.withData ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr, &size),
                  c.result);
        EXPECT_EQ(size, c.sizeAfter);
        EXPECT_EQ(buffer.substr(0, c.bytes.size()), c.bytes);
        EXPECT_EQ(buffer.substr(c.bytes.size()), std::string(16 - c.bytes.size(), '#')) << "written past the buffer";
    }
    BYTE byte = 0;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, &byte, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, EnumerationsDeletesAndNamesWithoutCase) {
    const std::string root = "Software\\" + NewRoot("enum");
    HKEY key = Create(root + "\\Parent");
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2"}) {
        HKEY sub = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
        RegCloseKey(sub);
    }
    for (const char* name : {"z", "a", "m"}) ASSERT_EQ(SetText(key, name, name), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key, "A", "again"), ERROR_SUCCESS) << "the same value as \"a\"";

    auto subkeys = [&] { return Names(key, RegEnumKeyExA); };
    auto values = [&] { return Names(key, RegEnumValueA); };
    EXPECT_EQ(subkeys(), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
    EXPECT_EQ(values(), (std::vector<std::string>{"z", "a", "m"}));
    EXPECT_EQ(Text(key, "A"), "again");

    char shortName[3];
    DWORD length = sizeof shortName;
    EXPECT_EQ(RegEnumKeyExA(key, 0, shortName, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    DWORD subKeyCount = 0, longestSubKey = 0, valueCount = 0, longestName = 0, largest = 0;
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeyCount, &longestSubKey, nullptr, &valueCount,
                               &longestName, &largest, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::vector<DWORD>({subKeyCount, longestSubKey, valueCount, longestName, largest}),
              std::vector<DWORD>({4, 6, 3, 1, 6}));

    EXPECT_EQ(RegDeleteValueA(key, "A"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "a"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(values(), (std::vector<std::string>{"z", "m"}));
    EXPECT_EQ(RegDeleteKeyA(key, "GAMMA"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, "gamma"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(subkeys(), (std::vector<std::string>{"Alpha", "ALPHA2", "beta"}));
    HKEY parent = nullptr;
    ASSERT_EQ(Open(root, parent), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(parent, "parent"), ERROR_ACCESS_DENIED) << "it has subkeys";
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    EXPECT_EQ(DumpFromOtherProcess(root + "\\parent"),
              (std::vector<std::string>{Hex("z") + " 1 " + Hex("z\0"s), Hex("m") + " 1 " + Hex("m\0"s)}));
    HKEY gone = nullptr;
    EXPECT_EQ(Open(root + "\\Parent\\Gamma", gone), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, HandlesThatAreNotOpenAreRefused) {
    const std::string path = "Software\\" + NewRoot("handles") + "\\Key";
    HKEY first = Create(path);
    ASSERT_EQ(SetText(first, "v", "first"), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(first), ERROR_SUCCESS);
    HKEY second = Create(path + "\\Sub");  // takes the freed slot
    ASSERT_EQ(SetText(second, "v", "second"), ERROR_SUCCESS);

    const HKEY zeroExtendedCurrentUser = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
    const HKEY garbage = reinterpret_cast<HKEY>(std::uintptr_t{0x123450});
    struct Case {
        const char* label;
        HKEY key;
        LONG expected;
    };
    const Case cases[] = {
        {"closed", first, ERROR_INVALID_HANDLE},
        {"null", nullptr, ERROR_INVALID_HANDLE},
        {"made up", garbage, ERROR_INVALID_HANDLE},
        {"local machine", HKEY_LOCAL_MACHINE, ERROR_ACCESS_DENIED},
        {"classes root", HKEY_CLASSES_ROOT, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        HKEY result = nullptr;
        DWORD size = 0;
        char name[16];
        DWORD length = sizeof name;
        EXPECT_EQ(RegQueryValueExA(c.key, "v", nullptr, nullptr, nullptr, &size), c.expected);
        EXPECT_EQ(SetText(c.key, "v", "x"), c.expected);
        EXPECT_EQ(RegDeleteValueA(c.key, "v"), c.expected);
        EXPECT_EQ(RegEnumKeyExA(c.key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), c.expected);
        EXPECT_EQ(RegOpenKeyExA(c.key, "Software", 0, KEY_READ, &result), c.expected);
        EXPECT_EQ(RegCreateKeyExA(c.key, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &result, nullptr),
                  c.expected);
        EXPECT_EQ(RegFlushKey(c.key), c.expected);
    }
    EXPECT_EQ(RegCloseKey(first), ERROR_INVALID_HANDLE) << "closed twice";
    EXPECT_EQ(RegCloseKey(garbage), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Text(second, "v"), "second") << "the slot's new key is untouched";

    HKEY same = nullptr;
    EXPECT_EQ(RegOpenKeyExA(zeroExtendedCurrentUser, path.c_str(), 0, KEY_READ, &same), ERROR_SUCCESS);
    EXPECT_EQ(Text(same, "v"), "first");
    EXPECT_EQ(SetText(same, "v", "read only"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(same), ERROR_SUCCESS);

    HKEY deleted = nullptr;
    ASSERT_EQ(Open(path + "\\Sub", deleted), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(second, ""), ERROR_SUCCESS);
    EXPECT_EQ(Text(deleted, "v"), "<" + std::to_string(ERROR_KEY_DELETED) + ">");
    HKEY again = Create(path + "\\Sub");
    EXPECT_EQ(SetText(deleted, "v", "x"), ERROR_KEY_DELETED) << "a new key of the same name is another key";
    for (HKEY key : {second, deleted, again}) EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, PathsOutsideTheSettingsRootsAreRefused) {
    const std::string root = NewRoot("paths");
    HKEY key = nullptr;
    struct Case {
        const char* path;
        LONG open, create;
    };
    const Case cases[] = {
        {"\\Software\\x", ERROR_BAD_PATHNAME, ERROR_BAD_PATHNAME},
        {"Software\\\\x", ERROR_BAD_PATHNAME, ERROR_BAD_PATHNAME},
        {"Environment", ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED},
        {"Software\\missing-root-of-no-file\\x", ERROR_FILE_NOT_FOUND, ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Open(c.path, key), c.open);
        LONG created =
            RegCreateKeyExA(HKEY_CURRENT_USER, c.path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        EXPECT_EQ(created, c.create);
        if (created == ERROR_SUCCESS) RegCloseKey(key);
    }
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\" + root).c_str(), 0, nullptr, 1 /* volatile */,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetText(HKEY_CURRENT_USER, "v", "x"), ERROR_ACCESS_DENIED);

    // The way the framework gets there: Software, then the company, then the application.
    HKEY software = nullptr, company = nullptr, app = nullptr;
    ASSERT_EQ(Open("software", software, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(SetText(software, "v", "x"), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegCreateKeyExA(software, root.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &company, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(company, "App\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(SetText(app, "v", "x"), ERROR_SUCCESS);
    char name[16];
    DWORD length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(HKEY_CURRENT_USER, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), "Software");
    for (HKEY k : {software, company, app}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    ASSERT_EQ(Open("SOFTWARE\\" + root + "\\APP", key), ERROR_SUCCESS);
    EXPECT_EQ(Text(key, "V"), "x");
    RegCloseKey(key);
}

TEST_F(Registry, ADamagedFileIsSetAsideAndDefaultsAreUsed) {
    const std::string root = NewRoot("damaged");
    const std::string section = "[Software\\" + root + "\\Key]\n";
    enum class Shape { Text, Directory, Huge };
    struct Case {
        const char* label;
        Shape shape;
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {"not settings at all", Shape::Text, "hello world\n", "damaged at line 1"},
        {"a value before any key", Shape::Text, "; fine\n\"a\"=\"b\"\n", "damaged at line 2"},
        {"an unknown escape", Shape::Text, section + "\"ok\"=\"x\"\n\"a\"=\"\\q\"\n", "damaged at line 3"},
        {"an unterminated string", Shape::Text, section + "\"a\"=\"abc\n", "damaged at line 2"},
        {"bad hexadecimal", Shape::Text, section + "\"a\"=hex:0g\n", "damaged at line 2"},
        {"a number too long", Shape::Text, section + "\"a\"=dword:123456789\n", "damaged at line 2"},
        {"another root's key", Shape::Text, "[Software\\Other Root]\n", "damaged at line 1"},
        {"a null byte", Shape::Text, section + "\"a\"=\"x\0y\"\n"s, "damaged at line 2"},
        {"a folder in its place", Shape::Directory, "", "cannot be read"},
        {"too large", Shape::Huge, "", "too large"},
    };
    const std::string file = FileOf(root);
    ASSERT_TRUE(std::filesystem::create_directories(folder_));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.shape == Shape::Text) WriteFile(file, c.text);
        if (c.shape == Shape::Directory) {
            ASSERT_TRUE(std::filesystem::create_directory(file));
        }
        if (c.shape == Shape::Huge) {
            WriteFile(file, section);
            ASSERT_EQ(truncate(file.c_str(), 17 << 20), 0);
        }

        testing::internal::CaptureStderr();
        HKEY key = nullptr;
        EXPECT_EQ(Open("Software\\" + root + "\\Key", key), ERROR_FILE_NOT_FOUND) << "defaults: no key";
        std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_EQ(CountLines(warning), 1) << warning;
        EXPECT_NE(warning.find(c.why), std::string::npos) << warning;
        EXPECT_NE(warning.find("set aside"), std::string::npos) << warning;

        EXPECT_FALSE(std::filesystem::exists(file));
        auto entries = FolderEntries(folder_);
        auto aside = std::find_if(entries.begin(), entries.end(), [&](const std::string& name) {
            return name.find(".damaged-") != std::string::npos && std::filesystem::exists(folder_ + "/" + name) &&
                   (c.shape != Shape::Text || ReadFile(folder_ + "/" + name) == c.text);
        });
        EXPECT_NE(aside, entries.end()) << "the damaged file is kept beside";

        key = Create("Software\\" + root + "\\Key");
        EXPECT_EQ(SetText(key, "fresh", c.label), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        EXPECT_EQ(DumpFromOtherProcess("Software\\" + root + "\\Key"),
                  (std::vector<std::string>{Hex("fresh") + " 1 " + Hex(c.label + "\0"s)}));
        std::filesystem::remove(file);
    }
    auto entries = FolderEntries(folder_);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const std::string& name) { return name.find(".damaged-") != std::string::npos; }),
              std::size(cases))
        << "each damaged file is kept, even several within one second";
}

TEST_F(Registry, WithoutAWritableFolderSettingsLiveInMemoryOnly) {
    // A folder below a regular file cannot be made, not even by root.
    WriteFile(home_.File("plain-file"), "x");
    Use(home_.File("plain-file") + "/config");
    const std::string path = "Software\\" + NewRoot("readonly") + "\\Key";

    testing::internal::CaptureStderr();
    HKEY key = Create(path);
    EXPECT_EQ(SetText(key, "v", "kept in memory"), ERROR_SUCCESS);
    EXPECT_EQ(RegFlushKey(key), ERROR_CANTWRITE);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        key = Create(path);
        EXPECT_EQ(SetText(key, "n", std::to_string(i)), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(CountLines(warnings), 1) << warnings;
    EXPECT_NE(warnings.find("not saved"), std::string::npos) << warnings;

    ASSERT_EQ(Open(path, key), ERROR_SUCCESS);
    EXPECT_EQ(Text(key, "v"), "kept in memory");
    EXPECT_EQ(Text(key, "n"), "2");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_regular_file(home_.File("plain-file")));

    // Kept until a save can be made.
    Use(home_.Path());
    EXPECT_EQ(RegFlushKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(DumpFromOtherProcess(path),
              (std::vector<std::string>{Hex("v") + " 1 " + Hex("kept in memory\0"s), Hex("n") + " 1 " + Hex("2\0"s)}));
}

TEST_F(Registry, ProcessesSavingAtOnceKeepEachOthersValues) {
    const std::string path = "Software\\" + NewRoot("shared") + "\\Key";
    HKEY key = Create(path);
    ASSERT_EQ(SetText(key, "mine", "before"), ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    // Both read the file before either writes it; then both write at once.
    ChildProcess a({REGISTRY_TEST_HELPER, "hold", path, "from a", "A"});
    ChildProcess b({REGISTRY_TEST_HELPER, "hold", path, "from b", "B"});
    ASSERT_TRUE(a.WaitForLine("ready"));
    ASSERT_TRUE(b.WaitForLine("ready"));
    ASSERT_TRUE(a.Send("close") && b.Send("close"));
    ASSERT_TRUE(a.WaitForLine("closed"));
    ASSERT_TRUE(b.WaitForLine("closed"));

    // Many small saves from two processes interleaved.
    constexpr int kCount = 25;
    ChildProcess c({REGISTRY_TEST_HELPER, "write", path, "c", std::to_string(kCount)});
    ChildProcess d({REGISTRY_TEST_HELPER, "write", path, "d", std::to_string(kCount)});
    ASSERT_TRUE(c.WaitForLine("done"));
    ASSERT_TRUE(d.WaitForLine("done"));

    ASSERT_EQ(Open(path, key), ERROR_SUCCESS);
    EXPECT_EQ(Text(key, "mine"), "before");
    EXPECT_EQ(Text(key, "from a"), "A");
    EXPECT_EQ(Text(key, "from b"), "B");
    for (int i = 0; i < kCount; ++i) {
        std::string number("\0\0\0\0", 4);
        number[0] = static_cast<char>(i);
        EXPECT_EQ(Get(key, "c" + std::to_string(i)), std::make_pair(REG_DWORD, number)) << i;
        EXPECT_EQ(Get(key, "d" + std::to_string(i)), std::make_pair(REG_DWORD, number)) << i;
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, ChangesStillUnsavedAtExitAreSaved) {
    const std::string path = "Software\\" + NewRoot("exit") + "\\Key";
    ChildProcess helper({REGISTRY_TEST_HELPER, "hold", path, "v", "saved at exit"});
    ASSERT_TRUE(helper.WaitForLine("ready"));
    ASSERT_TRUE(helper.Send("exit"));
    ASSERT_EQ(helper.Wait(), 0);
    HKEY key = nullptr;
    ASSERT_EQ(Open(path, key), ERROR_SUCCESS);
    EXPECT_EQ(Text(key, "v"), "saved at exit");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, ThreadsShareTheKeys) {
    const std::string root = "Software\\" + NewRoot("threads");
    constexpr int kThreads = 4, kRounds = 40;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                HKEY key = Create(root + "\\Thread" + std::to_string(t));
                EXPECT_EQ(SetText(key, "round", std::to_string(i)), ERROR_SUCCESS);
                EXPECT_EQ(Text(key, "round"), std::to_string(i));
                if (i % 10 == 0) {
                    EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
                }
                EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(DumpFromOtherProcess(root + "\\Thread" + std::to_string(t)),
                  (std::vector<std::string>{Hex("round") + " 1 " + Hex(std::to_string(kRounds - 1) + '\0')}));
}
