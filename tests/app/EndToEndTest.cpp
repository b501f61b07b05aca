// The real quillbridge-log-viewer against the real service under Xvfb, driven only by X input as
// a person would: wait for the load (title), open menus by keyboard and mouse, switch a filter,
// show the preview with a double click, export through the Save dialog by typing a path. The
// export is compared with the service's own records, formatted here independently.
// The viewer knows only the default service name: the test skips when a service of that name
// runs already.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "service/JsonObject.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/XvfbServer.h"

namespace {

using namespace std::chrono_literals;

ProgramResult Service(std::vector<std::string> args) {
    args.insert(args.begin(), QB_SERVICE_BINARY);
    return RunProgram(args);
}

// Waits until `done`, checking every 50 ms.
bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The export line of one record as the service prints it in JSON, in UTC.
std::string ExpectedLine(const JsonObject& record) {
    auto text = [&](const char* key) {
        const JsonObject::Value* v = record.Find(key);
        return v ? v->text : std::string();
    };
    std::tm t{};
    strptime(text("time").c_str(), "%Y-%m-%dT%H:%M:%SZ", &t);
    char time[64];
    std::snprintf(time, sizeof time, "%02d/%02d/%04d %02d:%02d:%02d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900,
                  t.tm_hour, t.tm_min, t.tm_sec);
    // Levels without a name of their own come as numbers: 0-2 show as Fatal, 5-7 as Info.
    std::string level = text("level");
    if (std::isdigit(static_cast<unsigned char>(level[0]))) {
        const int code = std::stoi(level);
        level = code <= 2 ? "fatal" : code == 3 ? "error" : code == 4 ? "warning" : code <= 7 ? "info" : " ";
    }
    level[0] = static_cast<char>(std::toupper(level[0]));
    std::string source = text("source");
    source[0] = static_cast<char>(std::toupper(source[0]));
    if (source == "Gui") source = "GUI";
    std::string attachment;
    if (record.Find("number")) {
        char number[16];
        std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(std::stoul(text("number"))));
        attachment = number;
    } else if (record.Find("text")) {
        attachment = text("text");
    } else if (record.Find("hex")) {
        attachment = "[Binary]" + text("hex");
    }
    return std::string(time) + ",\t" + level + ",\t" + text("status") + ",\t" + source + ",\t" + text("description") +
           ",\t" + attachment + "\r\n";
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        if (Service({"status"}).exitCode == 0) GTEST_SKIP() << "a Quillbridge service of the default name runs";
        ASSERT_TRUE(x.Started()) << x.Error();
        setenv("DISPLAY", x.Display().c_str(), 1);
    }
    // xdotool with these arguments; its output.
    std::string Xdo(std::vector<std::string> args) {
        args.insert(args.begin(), "/usr/bin/xdotool");
        return RunProgram(args).out;
    }
    bool TitleIs(const std::string& title) { return !Xdo({"search", "--name", "^" + title + "$"}).empty(); }

    XvfbServer x{1024, 768};
    TempDirectory dir;
};

TEST_F(EndToEndTest, ExportTypedIntoTheSaveDialogMatchesTheServicesRecords) {
    ASSERT_EQ(Service({"demo", "200", "--db", dir.File("log.sqlite"), "--seed", "4"}).exitCode, 0);
    ChildProcess service(
        {QB_SERVICE_BINARY, "serve", "--db", dir.File("log.sqlite"), "--debug-log", dir.File("debug.log")});
    std::string line;
    ASSERT_TRUE(service.ReadLine(line));
    ChildProcess viewer({QB_VIEWER_BINARY});
    ASSERT_TRUE(WaitFor([&] { return TitleIs("Quillbridge Log Viewer - Quillbridge Log"); }));
    const std::string window = Xdo({"search", "--name", "^Quillbridge Log Viewer - Quillbridge Log$"});

    // The Filter menu by mouse, "&Info" by keyboard in the Level submenu: all records again.
    Xdo({"mousemove", "110", "9", "click", "1"});
    std::this_thread::sleep_for(300ms);
    Xdo({"key", "Escape", "Escape"});
    Xdo({"key", "--clearmodifiers", "alt+f"});
    std::this_thread::sleep_for(200ms);
    Xdo({"key", "l", "i"});
    ASSERT_TRUE(WaitFor([&] { return TitleIs("Quillbridge Log Viewer - Quillbridge Log"); }));
    // A double click on the first row shows the preview.
    Xdo({"mousemove", "300", "73", "click", "--repeat", "2", "--delay", "80", "1"});
    std::this_thread::sleep_for(300ms);

    const std::string path = dir.File("typed-export.txt");
    Xdo({"key", "--clearmodifiers", "alt+l"});
    std::this_thread::sleep_for(200ms);
    Xdo({"key", "e"});
    ASSERT_TRUE(WaitFor([&] { return TitleIs("Save As"); }));
    Xdo({"type", "--delay", "5", path});
    Xdo({"key", "Return"});
    ASSERT_TRUE(WaitFor([&] { return access(path.c_str(), F_OK) == 0; }));

    ProgramResult read = Service({"read", "1", "--count", "200", "--json"});
    ASSERT_EQ(read.exitCode, 0);
    std::string expected;
    std::istringstream records(read.out);
    while (std::getline(records, line)) {
        std::string error;
        expected += ExpectedLine(JsonObject::Parse(line, error));
        ASSERT_EQ(error, "");
    }
    const std::string text = ReadFile(path);
    const std::string marker = "==========Log Messages==========\r\n\r\n";
    const auto body = text.find(marker);
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(text.substr(body + marker.size()), expected);
    EXPECT_EQ(text.rfind("==========Quillbridge Log==========\r\nFormat: 1.0.0\r\n", 0), 0u);

    // Exit through the menu: the program ends by itself with code 0.
    Xdo({"key", "--clearmodifiers", "alt+l"});
    std::this_thread::sleep_for(200ms);
    Xdo({"key", "x"});
    EXPECT_EQ(viewer.Wait(30s), 0);
    service.Kill(SIGTERM);
    EXPECT_EQ(service.Wait(), 0);
}

TEST_F(EndToEndTest, WithoutTheServiceTheErrorBoxEndsTheProgram) {
    ChildProcess viewer({QB_VIEWER_BINARY});
    ASSERT_TRUE(WaitFor([&] { return TitleIs("Error"); }));
    Xdo({"key", "Return"});
    EXPECT_EQ(viewer.Wait(30s), 0);
}

}  // namespace
