// The open and save file dialogs, used from the keyboard and the mouse: typed absolute and
// relative paths, the default extension and the filters, folders listed and entered, the
// overwrite question, missing and unreadable folders refused with a message, cancelling, and a
// buffer too small for the chosen path.

#include <dirent.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/controls/DialogNavigation.h"
#include "platform/controls/FileDialog.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/MessageBox.h"
#include "tests/platform/controls/DialogTesting.h"
#include "tests/support/TempDirectory.h"

namespace {

constexpr char kFilter[] = "Text files(*.txt)\0*.txt\0All Files(*.*)\0*.*\0";

// Root reads every directory: this takes that power from the calling thread's effective set
// for as long as it lives (the dialogs run on that thread).
class WithoutReadOverride {
public:
    WithoutReadOverride() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, saved_, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        changed_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutReadOverride() {
        if (changed_) syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};

class FileDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        cwd_ = Cwd();
        for (const char* folder : {"sub", "Zeta", "alpha"}) mkdir(dir.File(folder).c_str(), 0755);
        for (const char* file : {"a.txt", "b.log", "C.TXT", "sub/inner.txt"}) std::ofstream(dir.File(file)) << "x";
    }
    void TearDown() override {
        if (chdir(cwd_.c_str()) != 0) ADD_FAILURE() << "could not return to " << cwd_;
        DialogTest::TearDown();
    }

    static std::string Cwd() {
        char path[4096];
        return getcwd(path, sizeof path) ? path : "";
    }

    OPENFILENAMEA Ofn(DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_NOCHANGEDIR) {
        OPENFILENAMEA ofn{};
        file[0] = '\0';
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = parent;
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrFileTitle = title;
        ofn.nMaxFileTitle = sizeof title;
        ofn.lpstrInitialDir = initial.c_str();
        ofn.lpstrDefExt = "txt";
        ofn.Flags = flags;
        return ofn;
    }

    BOOL Save(OPENFILENAMEA& ofn, std::vector<DialogScript::Step> steps) {
        DialogScript script(std::move(steps));
        const BOOL result = GetSaveFileNameA(&ofn);
        EXPECT_TRUE(script.Finished());
        return result;
    }

    static bool IsFileDialog(HWND h) { return h && GetDlgItem(h, FileDialog::kList); }
    static bool IsMessage(HWND h) { return h && GetDlgItem(h, MessageBox::kTextId); }
    static DialogScript::Step When(bool (*kind)(HWND), std::function<void(HWND)> act) {
        return [kind, act = std::move(act)] {
            HWND h = ActiveDialog();
            if (!kind(h)) return false;
            act(h);
            return true;
        };
    }
    static std::vector<std::string> Listed(HWND dialog, int id = FileDialog::kList) {
        std::vector<std::string> out;
        HWND list = GetDlgItem(dialog, id);
        const auto n = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
            text.resize(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            out.push_back(text);
        }
        return out;
    }

    TempDirectory dir;
    std::string initial = dir.Path();
    char file[260] = "";
    char title[64] = "";
    std::string cwd_;
};

TEST_F(FileDialogTest, TypedAbsoluteAndRelativePathsAreAcceptedWithTheDefaultExtension) {
    struct Case {
        std::string typed;
        DWORD filter;
        std::string chosen;
        bool extensionDifferent;
    };
    const std::vector<Case> cases{
        {dir.File("new.txt"), 1, dir.File("new.txt"), false},
        {"sub/report", 1, dir.File("sub/report.txt"), false},
        {"sub/../notes.log", 1, dir.File("notes.log"), true},
        {"plain", 2, dir.File("plain"), true},  // all files: nothing added
        {"  spaced name  ", 1, dir.File("spaced name.txt"), false},
        {"archive.tar.gz", 1, dir.File("archive.tar.gz"), true},
    };
    for (const Case& c : cases) {
        OPENFILENAMEA ofn = Ofn();
        ofn.nFilterIndex = c.filter;
        ASSERT_TRUE(Save(ofn, {Typed(c.typed), Keys({VK_RETURN})})) << c.typed;
        const std::string chosen = file;
        EXPECT_EQ(chosen, c.chosen) << c.typed;
        EXPECT_EQ(chosen.substr(ofn.nFileOffset), c.chosen.substr(c.chosen.find_last_of('/') + 1)) << c.typed;
        EXPECT_EQ(std::string(title), chosen.substr(ofn.nFileOffset)) << c.typed;
        const std::size_t dot = chosen.find_last_of('.');
        EXPECT_EQ(ofn.nFileExtension, dot > ofn.nFileOffset && dot != std::string::npos ? dot + 1 : chosen.size())
            << c.typed;
        EXPECT_EQ(ofn.nFilterIndex, c.filter);
        EXPECT_EQ((ofn.Flags & OFN_EXTENSIONDIFFERENT) != 0, c.extensionDifferent) << c.typed;
        EXPECT_EQ(Cwd(), cwd_) << "OFN_NOCHANGEDIR";
        EXPECT_TRUE(IsWindowEnabled(parent));
    }
    // Without OFN_NOCHANGEDIR the process is left in the chosen file's folder.
    OPENFILENAMEA ofn = Ofn(OFN_HIDEREADONLY);
    ASSERT_TRUE(Save(ofn, {Typed("sub/x"), Keys({VK_RETURN})}));
    EXPECT_EQ(Cwd(), dir.File("sub"));
}

TEST_F(FileDialogTest, CancelReturnsFalseAndLeavesTheBufferAlone) {
    struct Case {
        const char* name;
        DialogScript::Step step;
    };
    const std::vector<Case> cases{
        {"Escape", Keys({VK_ESCAPE})},
        {"the Cancel button",
         When(IsFileDialog, [&](HWND d) { display->Click(OnScreen(GetDlgItem(d, IDCANCEL), 5, 5)); })},
        {"the desktop's close", When(IsFileDialog, [&](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); })},
    };
    for (const Case& c : cases) {
        OPENFILENAMEA ofn = Ofn();
        std::strcpy(file, "start.txt");
        std::string seen;
        EXPECT_FALSE(Save(ofn, {When(IsFileDialog, [&](HWND d) { seen = ItemText(d, FileDialog::kName); }), c.step}))
            << c.name;
        EXPECT_EQ(CommDlgExtendedError(), 0u) << c.name;
        EXPECT_STREQ(file, "start.txt") << c.name;
        EXPECT_EQ(seen, "start.txt") << "the initial name is offered";
    }
}

TEST_F(FileDialogTest, AMissingFolderIsRefusedWithAMessageAndTheDialogStays) {
    OPENFILENAMEA ofn = Ofn();
    std::string message, caption;
    const BOOL chosen = Save(ofn, {Typed("nodir/x.txt"), Keys({VK_RETURN}), When(IsMessage, [&](HWND box) {
                                       message = ItemText(box, MessageBox::kTextId);
                                       caption = TextOf(box);
                                   }),
                                   Keys({VK_RETURN}), When(IsFileDialog, [&](HWND d) {
                                       EXPECT_EQ(GetFocus(), GetDlgItem(d, FileDialog::kName));
                                       EXPECT_EQ(ItemText(d, FileDialog::kName), "nodir/x.txt");
                                   }),
                                   Keys({VK_ESCAPE})});
    EXPECT_FALSE(chosen);
    EXPECT_EQ(message, dir.File("nodir/x.txt") + "\nPath does not exist.\nCheck the path and try again.");
    EXPECT_EQ(caption, "Save As");
}

TEST_F(FileDialogTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    OPENFILENAMEA ofn = Ofn();
    std::vector<std::string> questions;
    const auto ask = When(IsMessage, [&](HWND box) {
        questions.push_back(TextOf(box) + "|" + ItemText(box, MessageBox::kTextId));
        EXPECT_FALSE(IsWindowEnabled(GetParent(box))) << "the file dialog waits";
    });
    ASSERT_TRUE(Save(ofn, {Typed("a"), Keys({VK_RETURN}), ask, Keys({'N'}), When(IsFileDialog, [](HWND) {}),
                           Keys({VK_RETURN}), ask, Keys({'Y'})}));
    EXPECT_EQ(std::string(file), dir.File("a.txt"));
    const std::string question = "Confirm Save As|" + dir.File("a.txt") + " already exists.\nDo you want to replace it?";
    EXPECT_EQ(questions, (std::vector<std::string>{question, question}));
    // Without OFN_OVERWRITEPROMPT nobody asks.
    ofn = Ofn(OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
    ASSERT_TRUE(Save(ofn, {Typed("a.txt"), Keys({VK_RETURN})}));
}

TEST_F(FileDialogTest, FoldersComeFirstSortedThenTheFilesOfTheChosenType) {
    OPENFILENAMEA ofn = Ofn();
    std::vector<std::vector<std::string>> seen;
    std::vector<std::string> folders, types;
    const auto look = [&](HWND d) {
        seen.push_back(Listed(d));
        folders.push_back(ItemText(d, FileDialog::kFolder));
    };
    const BOOL chosen = Save(
        ofn, {When(IsFileDialog,
                   [&](HWND d) {
                       look(d);
                       types = Listed(d, FileDialog::kTypes);
                   }),
              Keys({'T'}, VK_MENU), Keys({VK_DOWN}), When(IsFileDialog, look),
              // A typed pattern lists by it; a typed folder is entered.
              Keys({'N'}, VK_MENU), Typed("*.log\r"), When(IsFileDialog, look), Typed("sub\r"), When(IsFileDialog, look),
              // Up, and the folder left is selected; Enter on a folder in the list goes in.
              Keys({'U'}, VK_MENU), When(IsFileDialog, look),
              When(IsFileDialog,
                   [&](HWND d) {
                       SetFocus(GetDlgItem(d, FileDialog::kList));
                       display->KeyPress(VK_HOME);
                       display->KeyPress(VK_RETURN);
                   }),
              When(IsFileDialog, look),
              // A double click on a folder goes in too.
              Keys({'U'}, VK_MENU),
              When(IsFileDialog,
                   [&](HWND d) {
                       RECT r;
                       SendDlgItemMessageA(d, FileDialog::kList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
                       display->DoubleClick(OnScreen(GetDlgItem(d, FileDialog::kList), r.left + 5, r.top + 3));
                   }),
              When(IsFileDialog, look), Keys({VK_ESCAPE})});
    EXPECT_FALSE(chosen);
    EXPECT_EQ(types, (std::vector<std::string>{"Text files(*.txt)", "All Files(*.*)"}));
    const std::vector<std::string> folderNames{"alpha/", "sub/", "Zeta/"};
    const auto with = [&](std::vector<std::string> files) {
        std::vector<std::string> all = folderNames;
        all.insert(all.end(), files.begin(), files.end());
        return all;
    };
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0], with({"a.txt", "C.TXT"}));
    EXPECT_EQ(seen[1], with({"a.txt", "b.log", "C.TXT"}));
    EXPECT_EQ(seen[2], with({"b.log"}));
    EXPECT_EQ(seen[3], std::vector<std::string>{}) << "a typed pattern lists the next folders too";
    EXPECT_EQ(seen[4], with({"b.log"}));
    EXPECT_EQ(seen[5], std::vector<std::string>{});
    EXPECT_EQ(seen[6], std::vector<std::string>{});
    EXPECT_EQ(folders, (std::vector<std::string>{dir.Path(), dir.Path(), dir.Path(), dir.File("sub"), dir.Path(),
                                                 dir.File("alpha"), dir.File("Zeta")}));
}

TEST_F(FileDialogTest, TheOpenDialogWantsAnExistingFileAndTriesTheDefaultExtension) {
    OPENFILENAMEA ofn = Ofn(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
    std::string message, caption;
    DialogScript script({Typed("missing\r"), When(IsMessage,
                                                   [&](HWND box) {
                                                       message = ItemText(box, MessageBox::kTextId);
                                                       caption = TextOf(box);
                                                   }),
                         Keys({VK_RETURN}), When(IsFileDialog, [](HWND) {}), Typed("a\r")});
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(file), dir.File("a.txt"));
    EXPECT_EQ(message, dir.File("missing") + "\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(caption, "Open");
}

TEST_F(FileDialogTest, APathTooLongForTheBufferFailsAndTellsTheSizeNeeded) {
    OPENFILENAMEA ofn = Ofn();
    ofn.nMaxFile = 8;
    const std::string path = dir.File("long-name.txt");
    EXPECT_FALSE(Save(ofn, {Typed("long-name\r")}));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    const auto needed = static_cast<std::size_t>(static_cast<unsigned char>(file[0]) |
                                                 (static_cast<unsigned char>(file[1]) << 8));
    EXPECT_EQ(needed, path.size() + 1);
    // A structure of another size is refused before anything shows.
    ofn = Ofn();
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST_F(FileDialogTest, AnUnreadableFolderGivesAMessageAndTheDialogGoesOn) {
    const std::string locked = dir.File("locked");
    mkdir(locked.c_str(), 0000);
    WithoutReadOverride plainUser;
    if (DIR* d = opendir(locked.c_str())) {
        closedir(d);
        GTEST_SKIP() << "this user reads every directory";
    }
    const std::string expected = locked + " is not accessible.\n\nAccess is denied.";
    std::vector<std::string> messages;
    std::string folderAfter;
    const auto note = When(IsMessage, [&](HWND box) { messages.push_back(ItemText(box, MessageBox::kTextId)); });
    // Shown first, then entered by a typed name from a readable folder.
    initial = locked;
    OPENFILENAMEA ofn = Ofn();
    ASSERT_TRUE(Save(ofn, {note, Keys({VK_RETURN}), Typed(dir.Path() + "\r"), Typed("locked\r"), note,
                           Keys({VK_RETURN}), When(IsFileDialog, [&](HWND d) {
                               folderAfter = ItemText(d, FileDialog::kFolder);
                           }),
                           Typed("ok\r")}));
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(messages, (std::vector<std::string>{expected, expected}));
    EXPECT_EQ(folderAfter, dir.Path());
    EXPECT_EQ(std::string(file), dir.File("ok.txt"));
}

TEST_F(FileDialogTest, AHugeFolderIsListedWholeAndStillTakesKeys) {
    constexpr int kFiles = 5000;  // the benchmark lists ten times as many
    const std::string huge = dir.File("huge");
    mkdir(huge.c_str(), 0755);
    for (int i = 0; i < kFiles; ++i) std::ofstream(huge + "/file" + std::to_string(100000 + i) + ".txt");
    initial = huge;
    OPENFILENAMEA ofn = Ofn(OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
    LRESULT count = 0;
    ASSERT_TRUE(Save(ofn, {When(IsFileDialog,
                                [&](HWND d) {
                                    count = SendDlgItemMessageA(d, FileDialog::kList, LB_GETCOUNT, 0, 0);
                                    SetFocus(GetDlgItem(d, FileDialog::kList));
                                    display->KeyPress(VK_END);
                                }),
                           Keys({VK_RETURN})}));
    EXPECT_EQ(count, kFiles);
    EXPECT_EQ(std::string(file), huge + "/file" + std::to_string(100000 + kFiles - 1) + ".txt");
}

}  // namespace
