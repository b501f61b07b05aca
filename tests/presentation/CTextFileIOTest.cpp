// Reading the debug log's text file line by line, and writing a text back byte for byte.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "presentation/CTextFileIO.h"
#include "presentation/FileDialogRequest.h"
#include "tests/support/TempDirectory.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Installs a prompt for the life of the object, remembering what it was asked.
class ScriptedPrompt {
public:
    explicit ScriptedPrompt(std::string answer, bool confirm = true) {
        FileDialogRequest::SetPrompt([this, answer, confirm](const FileDialogRequest& request, std::string& path) {
            asked.push_back(request);
            if (confirm) path = answer;
            return confirm;
        });
    }
    ~ScriptedPrompt() { FileDialogRequest::SetPrompt(nullptr); }
    std::vector<FileDialogRequest> asked;
};

}  // namespace

TEST(CTextFileIO, ReadsLinesEachFollowedByTheLineEnd) {
    struct Case {
        std::string file;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},
        {"one", "one\r\n"},
        {"one\n", "one\r\n"},
        {"one\r\ntwo", "one\r\ntwo\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"a\rb\n\r\n", "a\rb\r\n\r\n"},  // only a CR before the LF goes
        {"last\r", "last\r\r\n"},
        {std::string("n\0l\n", 4), std::string("n\0l\r\n", 5)},
        {"caf\xE9\n", "caf\xE9\r\n"},
    };
    TempDirectory dir;
    CTextFileIO io("", "\r\n");
    for (const Case& c : cases) {
        WriteFile(dir.File("debug.log"), c.file);
        std::string text = "stale";
        ASSERT_TRUE(io.ReadText(dir.File("debug.log"), text));
        EXPECT_EQ(text, c.text) << "file: " << c.file;
    }
    CTextFileIO feeds("", "\n");
    std::string text;
    WriteFile(dir.File("debug.log"), "a\r\nb");
    ASSERT_TRUE(feeds.ReadText(dir.File("debug.log"), text));
    EXPECT_EQ(text, "a\nb\n");
}

TEST(CTextFileIO, ReadsOnlyRegularFiles) {
    TempDirectory dir;
    CTextFileIO io("", "\r\n");
    std::string text = "stale";
    EXPECT_FALSE(io.ReadText(dir.File("missing.log"), text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(io.ErrorText(), std::strerror(ENOENT));

    // A pipe with no writer would block an ordinary open forever.
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(io.ReadText(dir.File("pipe"), text));
    EXPECT_EQ(io.ErrorText(), "Not a regular file");
    EXPECT_FALSE(io.ReadText("/dev/zero", text));
    EXPECT_FALSE(io.ReadText(dir.Path(), text));
    EXPECT_EQ(io.ErrorText(), std::strerror(EISDIR));

    WriteFile(dir.File("ok.log"), "fine");
    EXPECT_TRUE(io.ReadText(dir.File("ok.log"), text));
    EXPECT_EQ(io.ErrorText(), "") << "every read starts without an error";
}

TEST(CTextFileIO, WritesTheExactBytes) {
    TempDirectory dir;
    CTextFileIO io("", "\n");
    const std::string text("line\r\n\0\xFF\r\nend", 12);
    ASSERT_TRUE(io.WriteText(dir.File("out.txt"), text));
    EXPECT_EQ(ReadFile(dir.File("out.txt")), text);
    ASSERT_TRUE(io.WriteText(dir.File("out.txt"), ""));
    EXPECT_EQ(ReadFile(dir.File("out.txt")), "") << "an empty text leaves an empty file";

    EXPECT_FALSE(io.WriteText(dir.File("no/such/dir/out.txt"), text));
    EXPECT_EQ(io.ErrorText(), std::strerror(ENOENT));
}

TEST(CTextFileIO, AnEmptyPathAsksTheUser) {
    TempDirectory dir;
    WriteFile(dir.File("chosen.log"), "x\n");
    std::string text;
    {
        CTextFileIO io("", "\r\n");
        EXPECT_FALSE(io.ReadText("", text)) << "without a prompt every question is a cancel";
    }
    {
        ScriptedPrompt prompt(dir.File("chosen.log"));
        CTextFileIO io("log", "\r\n");
        ASSERT_TRUE(io.ReadText("", text));
        EXPECT_EQ(text, "x\r\n");
        ASSERT_TRUE(io.WriteText("", "y"));
        EXPECT_EQ(ReadFile(dir.File("chosen.log")), "y");
        ASSERT_EQ(prompt.asked.size(), 2u);
        EXPECT_FALSE(prompt.asked[0].save);
        EXPECT_TRUE(prompt.asked[1].save);
        EXPECT_EQ(prompt.asked[0].defaultExtension, "log");
        const std::vector<std::pair<std::string, std::string>> filters = {{"log-files (*.log)", "*.log"},
                                                                          {"All Files (*.*)", "*.*"}};
        EXPECT_EQ(prompt.asked[0].filters, filters);
    }
    {
        ScriptedPrompt cancel("", false);
        CTextFileIO io("", "\r\n");
        EXPECT_FALSE(io.WriteText("", "z"));
        ASSERT_EQ(cancel.asked.size(), 1u);
        EXPECT_TRUE(cancel.asked[0].filters.empty());
        EXPECT_EQ(ReadFile(dir.File("chosen.log")), "y");
    }
}
