#pragma once
// The open and save file dialogs: GetOpenFileNameA and GetSaveFileNameA with the platform's
// OPENFILENAMEA, as a dialog of ours. It shows the folder's subfolders (sorted, first; a double
// click or Enter goes in) and its files matching the chosen type, a name box that takes a name,
// a relative or absolute path ("~" is the home directory), a folder to go to or a pattern to list
// by, a list of file types, an Up button, and OK/Cancel. Everything works from the keyboard:
// type a path, press Enter.
//
// On OK: a name without an extension gets lpstrDefExt unless the type lists every file; a
// missing folder, a missing file (OFN_FILEMUSTEXIST) and an unreadable folder are refused with a
// message; an existing file is replaced only when the user says so (OFN_OVERWRITEPROMPT). Unless
// OFN_NOCHANGEDIR, the current directory becomes the chosen file's.
//
// Differences from the platform: one file only (no OFN_ALLOWMULTISELECT), no hook procedures or
// custom templates, no custom filter (lpstrCustomFilter is left alone).

#include <string>
#include <vector>

#include "platform/controls/Dialog.h"
#include "platform/controls/DirectoryListing.h"
#include "platform/window/WindowTypes.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;  // pairs of description and patterns, each ended by a NUL, then a NUL
    char* lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;  // 1 for the first pair
    char* lpstrFile;     // in: an initial name or path, or empty; out: the chosen path
    DWORD nMaxFile;
    char* lpstrFileTitle;  // out: the chosen name alone
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;     // out: where the name starts in lpstrFile
    WORD nFileExtension;  // out: where its extension starts (after the dot), or its end
    LPCSTR lpstrDefExt;   // without the dot
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_SHOWHELP = 0x00000010;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
constexpr DWORD OFN_NOVALIDATE = 0x00000100;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
constexpr DWORD OFN_NOTESTFILECREATE = 0x00010000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_LONGNAMES = 0x00200000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;

// CommDlgExtendedError.
constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
constexpr DWORD CDERR_INITIALIZATION = 0x0002;
constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// FALSE when the user cancelled or something failed: CommDlgExtendedError tells which (0 for a
// cancel). When lpstrFile is too small for the chosen path, its first two bytes hold the size
// needed.
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);
DWORD CommDlgExtendedError();

class FileDialog {
public:
    // The controls, with the platform's ids where it has them.
    static constexpr int kFolder = 0x440;       // stc1: the folder shown
    static constexpr int kTypeLabel = 0x441;    // stc2
    static constexpr int kNameLabel = 0x442;    // stc3
    static constexpr int kLookInLabel = 0x443;  // stc4
    static constexpr int kReadOnly = 0x410;     // chx1
    static constexpr int kList = 0x460;         // lst1: the folder's contents
    static constexpr int kTypes = 0x461;        // lst2: the file types
    static constexpr int kName = 0x480;         // edt1
    static constexpr int kUp = 0x4A0;

    static BOOL Run(OPENFILENAMEA* ofn, bool save);
    static DWORD LastError();

    FileDialog(OPENFILENAMEA& ofn, bool save);

private:
    struct Filter {
        std::string description, patterns;
    };

    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    DialogTemplate Template() const;
    void OnInit(HWND hwnd);
    void OnCommand(int id, int code);
    void OnOk();
    void Accept(const std::string& path);
    // Shows `path`; false (after a message unless `quiet`) when it cannot be read.
    bool Open(const std::string& path, bool quiet = false);
    void Refill();
    void GoUp();
    void Complain(const std::string& text);
    std::string Patterns() const;
    std::string Title() const;
    std::string NameText() const;
    const DirectoryListing::Entry* Selected() const;

    OPENFILENAMEA& ofn_;
    bool save_;
    HWND hwnd_ = nullptr;
    std::vector<Filter> filters_;
    int filter_ = 0;
    std::string typedPatterns_;  // a pattern typed in the name box, until another type is chosen
    std::string folder_;
    DirectoryListing listing_;
    std::vector<const DirectoryListing::Entry*> shown_;
    std::string initialName_;
};
