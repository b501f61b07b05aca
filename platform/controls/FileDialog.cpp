#include "platform/controls/FileDialog.h"

#include <strings.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "platform/controls/Button.h"
#include "platform/controls/DialogNavigation.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Static.h"
#include "platform/window/Windows.h"

namespace {

thread_local DWORD tLastError = 0;

// The folder's error is told once the dialog is on the screen.
constexpr UINT kTellFolderError = WM_APP + 1;

// The structure as it was before its last three members.
constexpr DWORD kShortSize = offsetof(OPENFILENAMEA, pvReserved);

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

bool HasExtension(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    return dot != std::string::npos && dot > 0 && dot + 1 < name.size();
}

std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string CurrentDirectory() {
    std::string path(4096, '\0');
    if (!getcwd(path.data(), path.size())) return "/";
    path.resize(std::strlen(path.c_str()));
    return path;
}

}  // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) { return FileDialog::Run(ofn, false); }

BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) { return FileDialog::Run(ofn, true); }

DWORD CommDlgExtendedError() { return FileDialog::LastError(); }

DWORD FileDialog::LastError() { return tLastError; }

BOOL FileDialog::Run(OPENFILENAMEA* ofn, bool save) {
    tLastError = 0;
    if (!ofn || ofn->lStructSize < kShortSize || ofn->lStructSize > sizeof(OPENFILENAMEA)) {
        tLastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile < 2) {
        tLastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    FileDialog dialog(*ofn, save);
    const DialogTemplate layout = dialog.Template();
    const INT_PTR result =
        DialogBoxIndirectParamA(nullptr, &layout, ofn->hwndOwner, Proc, reinterpret_cast<LPARAM>(&dialog));
    if (result < 0) tLastError = CDERR_INITIALIZATION;
    return result > 0 ? TRUE : FALSE;
}

FileDialog::FileDialog(OPENFILENAMEA& ofn, bool save) : ofn_(ofn), save_(save) {
    // Pairs of NUL-terminated texts up to an empty one.
    for (const char* p = ofn.lpstrFilter; p && *p;) {
        Filter f;
        f.description = p;
        p += f.description.size() + 1;
        if (!*p) break;
        f.patterns = p;
        p += f.patterns.size() + 1;
        filters_.push_back(std::move(f));
    }
    const int index = static_cast<int>(ofn.nFilterIndex);
    filter_ = index >= 1 && index <= static_cast<int>(filters_.size()) ? index - 1 : 0;
    initialName_.assign(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile));
}

std::string FileDialog::Title() const {
    if (ofn_.lpstrTitle && *ofn_.lpstrTitle) return ofn_.lpstrTitle;
    return save_ ? "Save As" : "Open";
}

DialogTemplate FileDialog::Template() const {
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    t.caption = Title();
    t.fontFace = "MS Sans Serif";
    t.pointSize = 8;
    const bool readOnly = !(ofn_.Flags & OFN_HIDEREADONLY);
    t.cx = 280;
    t.cy = readOnly ? 192 : 180;
    const DWORD shown = WS_VISIBLE;
    const DWORD stop = WS_VISIBLE | WS_TABSTOP | WS_GROUP;
    t.items = {
        {Static::kClassName, "Look &in:", kLookInLabel, shown | WS_GROUP, 0, 7, 9, 40, 8},
        {Static::kClassName, "", kFolder, shown | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 48, 9, 175,
         8},
        {ListBox::kClassName, "", kList, stop | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, 7,
         24, 266, 98},
        {Button::kClassName, "&Up", kUp, stop | BS_PUSHBUTTON, 0, 228, 6, 45, 14},
        {Static::kClassName, "File &name:", kNameLabel, shown | WS_GROUP, 0, 7, 132, 58, 8},
        {Edit::kClassName, initialName_.substr(initialName_.find_last_of('/') + 1), kName, stop | ES_AUTOHSCROLL,
         WS_EX_CLIENTEDGE, 66, 130, 150, 12},
        {Static::kClassName, save_ ? "Save as &type:" : "Files of &type:", kTypeLabel, shown | WS_GROUP, 0, 7, 149, 58,
         8},
        {ListBox::kClassName, "", kTypes, stop | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, 66,
         147, 150, 28},
    };
    if (readOnly)
        t.items.push_back({Button::kClassName, "Open as &read-only", kReadOnly, stop | BS_AUTOCHECKBOX, 0, 66, 179,
                           150, 10});
    t.items.push_back({Button::kClassName, save_ ? "&Save" : "&Open", IDOK, stop | BS_DEFPUSHBUTTON, 0, 223, 129, 50,
                       14});
    t.items.push_back({Button::kClassName, "Cancel", IDCANCEL, shown | WS_TABSTOP | BS_PUSHBUTTON, 0, 223, 147, 50, 14});
    return t;
}

INT_PTR CALLBACK FileDialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        reinterpret_cast<FileDialog*>(lParam)->OnInit(hwnd);
        return FALSE;
    }
    auto* self = reinterpret_cast<FileDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND:
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case kTellFolderError:
            self->Complain(self->folder_ + " is not accessible.\n\n" +
                           DirectoryListing::Reason(static_cast<int>(wParam)));
            return TRUE;
        default:
            return FALSE;
    }
}

void FileDialog::OnInit(HWND hwnd) {
    hwnd_ = hwnd;
    const std::string cwd = CurrentDirectory();
    // The folder of a path given as the initial name, else the initial folder, else the current.
    std::string folder;
    if (initialName_.find('/') != std::string::npos)
        folder = DirectoryListing::Parent(DirectoryListing::Resolve(cwd, initialName_));
    else if (ofn_.lpstrInitialDir && *ofn_.lpstrInitialDir)
        folder = DirectoryListing::Resolve(cwd, ofn_.lpstrInitialDir);
    else
        folder = cwd;
    HWND types = GetDlgItem(hwnd, kTypes);
    for (const Filter& f : filters_) SendMessageA(types, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
    if (filters_.empty()) {
        EnableWindow(types, FALSE);
        EnableWindow(GetDlgItem(hwnd, kTypeLabel), FALSE);
    } else {
        SendMessageA(types, LB_SETCURSEL, static_cast<WPARAM>(filter_), 0);
    }
    CheckDlgButton(hwnd, kReadOnly, (ofn_.Flags & OFN_READONLY) ? BST_CHECKED : BST_UNCHECKED);
    if (!Open(folder, true)) PostMessageA(hwnd, kTellFolderError, static_cast<WPARAM>(listing_.Error()), 0);
    if (const auto dialog = Dialog::Of(hwnd)) dialog->SaveFocus(GetDlgItem(hwnd, kName));
}

void FileDialog::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:
            if (code == BN_CLICKED) OnOk();
            break;
        case IDCANCEL:
            if (code == BN_CLICKED) EndDialog(hwnd_, 0);
            break;
        case kUp:
            if (code == BN_CLICKED) GoUp();
            break;
        case kList: {
            const DirectoryListing::Entry* entry = Selected();
            if (!entry) break;
            if (code == LBN_SELCHANGE && !entry->folder) SetDlgItemTextA(hwnd_, kName, entry->name.c_str());
            if (code == LBN_DBLCLK) {
                if (entry->folder) {
                    Open(DirectoryListing::Resolve(folder_, entry->name));
                } else {
                    SetDlgItemTextA(hwnd_, kName, entry->name.c_str());
                    OnOk();
                }
            }
            break;
        }
        case kTypes:
            if (code == LBN_SELCHANGE) {
                const LRESULT chosen = SendDlgItemMessageA(hwnd_, kTypes, LB_GETCURSEL, 0, 0);
                if (chosen >= 0) filter_ = static_cast<int>(chosen);
                typedPatterns_.clear();
                Refill();
            }
            break;
        default:
            break;
    }
}

std::string FileDialog::Patterns() const {
    if (!typedPatterns_.empty()) return typedPatterns_;
    return filters_.empty() ? "*" : filters_[static_cast<std::size_t>(filter_)].patterns;
}

std::string FileDialog::NameText() const {
    HWND edit = GetDlgItem(hwnd_, kName);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

const DirectoryListing::Entry* FileDialog::Selected() const {
    const LRESULT index = SendDlgItemMessageA(hwnd_, kList, LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= shown_.size()) return nullptr;
    return shown_[static_cast<std::size_t>(index)];
}

bool FileDialog::Open(const std::string& path, bool quiet) {
    DirectoryListing next;
    const bool read = next.Read(path);
    if (!read && !quiet) {
        Complain(path + " is not accessible.\n\n" + DirectoryListing::Reason(next.Error()));
        return false;
    }
    // A folder that could not be read is still where relative names start; it shows empty.
    listing_ = std::move(next);
    folder_ = path;
    SetDlgItemTextA(hwnd_, kFolder, folder_.c_str());
    Refill();
    return read;
}

void FileDialog::Refill() {
    HWND list = GetDlgItem(hwnd_, kList);
    shown_ = listing_.Shown(Patterns());
    // One picture for the whole list, however long.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, shown_.size(), 0);
    std::string label;
    for (const DirectoryListing::Entry* e : shown_) {
        label = e->name;
        if (e->folder) label += '/';
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void FileDialog::GoUp() {
    if (folder_ == "/") return;
    const std::string from = DirectoryListing::Name(folder_);
    if (!Open(DirectoryListing::Parent(folder_))) return;
    // The folder just left is where the eye is.
    const std::string label = from + "/";
    const LRESULT at = SendDlgItemMessageA(hwnd_, kList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(label.c_str()));
    if (at >= 0) SendDlgItemMessageA(hwnd_, kList, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void FileDialog::Complain(const std::string& text) {
    MessageBoxA(hwnd_, text.c_str(), Title().c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (IsWindow(hwnd_)) DialogNavigation::Focus(hwnd_, GetDlgItem(hwnd_, kName));
}

void FileDialog::OnOk() {
    // Enter on a folder in the list goes into it.
    const DirectoryListing::Entry* entry = Selected();
    if (entry && entry->folder && GetFocus() == GetDlgItem(hwnd_, kList)) {
        Open(DirectoryListing::Resolve(folder_, entry->name));
        return;
    }
    const std::string typed = Trimmed(NameText());
    if (typed.empty()) return;
    std::string path = DirectoryListing::Resolve(folder_, typed);
    const std::string name = DirectoryListing::Name(path);
    if (HasWildcard(name)) {
        // A pattern lists the folder it names by it.
        const std::string folder = DirectoryListing::Parent(path);
        if (folder != folder_ && !Open(folder)) return;
        typedPatterns_ = name;
        Refill();
        SetDlgItemTextA(hwnd_, kName, name.c_str());
        DialogNavigation::Focus(hwnd_, GetDlgItem(hwnd_, kName));
        return;
    }
    if (DirectoryListing::IsDirectory(path)) {
        if (Open(path)) {
            SetDlgItemTextA(hwnd_, kName, "");
            DialogNavigation::Focus(hwnd_, GetDlgItem(hwnd_, kName));
        }
        return;
    }
    const std::string folder = DirectoryListing::Parent(path);
    if (!DirectoryListing::IsDirectory(folder)) {
        Complain(path + "\nPath does not exist.\nCheck the path and try again.");
        return;
    }
    const std::string defExt = ofn_.lpstrDefExt ? ofn_.lpstrDefExt : "";
    if (!HasExtension(name) && !defExt.empty()) {
        const std::string withExtension = path + "." + defExt;
        if (save_ ? !DirectoryListing::TakesAll(Patterns())
                  : !DirectoryListing::Exists(path) && DirectoryListing::Exists(withExtension))
            path = withExtension;
    }
    if (!save_ && (ofn_.Flags & OFN_FILEMUSTEXIST) && !DirectoryListing::Exists(path)) {
        Complain(path + "\nFile not found.\nCheck the file name and try again.");
        return;
    }
    if (save_ && (ofn_.Flags & OFN_OVERWRITEPROMPT) && DirectoryListing::Exists(path)) {
        const std::string question = path + " already exists.\nDo you want to replace it?";
        const int answer =
            MessageBoxA(hwnd_, question.c_str(), ("Confirm " + Title()).c_str(), MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES) {
            if (IsWindow(hwnd_)) DialogNavigation::Focus(hwnd_, GetDlgItem(hwnd_, kName));
            return;
        }
    }
    Accept(path);
}

void FileDialog::Accept(const std::string& path) {
    if (path.size() + 1 > ofn_.nMaxFile) {
        // The caller learns how much room the path needs.
        const std::size_t needed = std::min<std::size_t>(path.size() + 1, 0xFFFF);
        ofn_.lpstrFile[0] = static_cast<char>(needed & 0xFF);
        ofn_.lpstrFile[1] = static_cast<char>((needed >> 8) & 0xFF);
        tLastError = FNERR_BUFFERTOOSMALL;
        EndDialog(hwnd_, 0);
        return;
    }
    std::memcpy(ofn_.lpstrFile, path.c_str(), path.size() + 1);
    const std::size_t nameAt = path.find_last_of('/') + 1;
    const std::string name = path.substr(nameAt);
    const std::size_t dot = name.find_last_of('.');
    const bool extension = HasExtension(name);
    ofn_.nFileOffset = static_cast<WORD>(std::min<std::size_t>(nameAt, 0xFFFF));
    ofn_.nFileExtension =
        static_cast<WORD>(std::min<std::size_t>(extension ? nameAt + dot + 1 : path.size(), 0xFFFF));
    if (ofn_.lpstrFileTitle && ofn_.nMaxFileTitle > 0) {
        const std::size_t n = std::min<std::size_t>(name.size(), ofn_.nMaxFileTitle - 1);
        std::memcpy(ofn_.lpstrFileTitle, name.data(), n);
        ofn_.lpstrFileTitle[n] = '\0';
    }
    if (!filters_.empty()) ofn_.nFilterIndex = static_cast<DWORD>(filter_ + 1);
    const std::string defExt = ofn_.lpstrDefExt ? ofn_.lpstrDefExt : "";
    ofn_.Flags &= ~OFN_EXTENSIONDIFFERENT;
    if (!defExt.empty() && (!extension || strcasecmp(name.c_str() + dot + 1, defExt.c_str()) != 0))
        ofn_.Flags |= OFN_EXTENSIONDIFFERENT;
    if (!(ofn_.Flags & OFN_HIDEREADONLY)) {
        if (IsDlgButtonChecked(hwnd_, kReadOnly) == BST_CHECKED)
            ofn_.Flags |= OFN_READONLY;
        else
            ofn_.Flags &= ~OFN_READONLY;
    }
    if (!(ofn_.Flags & OFN_NOCHANGEDIR)) {
        // As the platform's dialogs do; a folder that cannot be entered takes nothing from the choice.
        const int changed = chdir(DirectoryListing::Parent(path).c_str());
        static_cast<void>(changed);
    }
    EndDialog(hwnd_, 1);
}
