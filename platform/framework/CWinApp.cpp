#include "platform/framework/CWinApp.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <utility>

#include "platform/controls/FileDialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/framework/AfxMsg.h"
#include "platform/framework/AfxRes.h"
#include "platform/framework/CCmdUI.h"
#include "platform/framework/CCommandLineInfo.h"
#include "platform/framework/CDocTemplate.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CRecentFileList.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/StringTable.h"
#include "platform/window/Windows.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* gApp = nullptr;  // set and read on the user-interface thread

constexpr DWORD kMaxProfileValue = kRegistryMaxValueSize;

// A registry key closed when it goes.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }
    HKEY Release() { return std::exchange(key_, nullptr); }

private:
    HKEY key_ = nullptr;
};

// The bytes of a value of `type`, or false (missing, another type, unreadable).
bool QueryValue(HKEY key, LPCSTR entry, DWORD wanted, std::vector<BYTE>& out) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wanted ||
        size > kMaxProfileValue)
        return false;
    out.resize(size);
    if (RegQueryValueExA(key, entry, nullptr, &type, out.data(), &size) != ERROR_SUCCESS || type != wanted)
        return false;
    out.resize(size);
    return true;
}

}  // namespace

CWinApp* AfxGetApp() { return gApp; }

CWnd* AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    return thread ? thread->GetMainWnd() : nullptr;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
    CWinApp* app = AfxGetApp();
    return app ? app->DoMessageBox(lpszText ? lpszText : "", nType, nIDHelp) : 0;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    const std::string text = AfxLoadString(nIDPrompt);
    return AfxMessageBox(text.c_str(), nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->SetCommandLine(argc, argv);
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        app->ExitInstance();
        return -1;
    }
    return app->Run();
}

CWinApp::CWinApp(LPCSTR lpszAppName) {
    if (lpszAppName) appName_ = lpszAppName;
    gApp = this;
}

CWinApp::~CWinApp() {
    // Documents go before the templates that own them; frames left go before both.
    if (m_pMainWnd && m_pMainWnd->m_hWnd && ::IsWindow(m_pMainWnd->m_hWnd)) m_pMainWnd->DestroyWindow();
    m_templates.clear();
    if (gApp == this) gApp = nullptr;
}

void CWinApp::SetCommandLine(int argc, char** argv) {
    arguments_.assign(argv, argv + std::max(argc, 0));
    if (!arguments_.empty()) {
        exeName_ = std::filesystem::path(arguments_.front()).filename().string();
        m_pszExeName = exeName_.c_str();
    }
}

void CWinApp::EnsureNames() {
    if (appName_.empty()) appName_ = AfxLoadString(AFX_IDS_APP_TITLE);
    if (appName_.empty()) appName_ = exeName_;
    m_pszAppName = appName_.c_str();
}

BOOL CWinApp::InitApplication() {
    EnsureNames();
    return TRUE;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    return CWinThread::ExitInstance();
}

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    EnsureNames();
    registryKey_ = lpszRegistryKey ? lpszRegistryKey : "";
    profileName_ = appName_;
    m_pszRegistryKey = registryKey_.empty() ? nullptr : registryKey_.c_str();
    m_pszProfileName = profileName_.c_str();
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) { SetRegistryKey(AfxLoadString(nIDRegistryKey).c_str()); }

HKEY CWinApp::GetAppRegistryKey() {
    if (!m_pszRegistryKey || profileName_.empty()) return nullptr;
    const std::string path = "Software\\" + registryKey_ + "\\" + profileName_;
    RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.Out(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key.Release();
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection) {
    if (!lpszSection || !*lpszSection) return nullptr;
    RegKey app(GetAppRegistryKey());
    if (!app.Get()) return nullptr;
    RegKey key;
    if (RegCreateKeyExA(app.Get(), lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Out(),
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key.Release();
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    RegKey key(GetSectionKey(lpszSection));
    std::vector<BYTE> bytes;
    if (!key.Get() || !lpszEntry || !QueryValue(key.Get(), lpszEntry, REG_DWORD, bytes) || bytes.size() != 4)
        return static_cast<UINT>(nDefault);
    DWORD value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    RegKey key(GetSectionKey(lpszSection));
    if (!key.Get() || !lpszEntry) return FALSE;
    const DWORD value = static_cast<DWORD>(nValue);
    return RegSetValueExA(key.Get(), lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

std::string CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
    const std::string fallback = lpszDefault ? lpszDefault : "";
    RegKey key(GetSectionKey(lpszSection));
    std::vector<BYTE> bytes;
    if (!key.Get() || !lpszEntry || !QueryValue(key.Get(), lpszEntry, REG_SZ, bytes)) return fallback;
    // The text ends at its first null, stored or not.
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    return std::string(text, strnlen(text, bytes.size()));
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
    if (!lpszEntry) {
        RegKey app(GetAppRegistryKey());
        if (!app.Get() || !lpszSection) return FALSE;
        const LONG result = RegDeleteKeyA(app.Get(), lpszSection);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    RegKey key(GetSectionKey(lpszSection));
    if (!key.Get()) return FALSE;
    if (!lpszValue) {
        const LONG result = RegDeleteValueA(key.Get(), lpszEntry);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    return RegSetValueExA(key.Get(), lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                          static_cast<DWORD>(std::strlen(lpszValue) + 1)) == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, std::vector<BYTE>* data) {
    if (!data) return FALSE;
    data->clear();
    RegKey key(GetSectionKey(lpszSection));
    return key.Get() && lpszEntry && QueryValue(key.Get(), lpszEntry, REG_BINARY, *data);
}

BOOL CWinApp::WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, const BYTE* pData, UINT nBytes) {
    RegKey key(GetSectionKey(lpszSection));
    if (!key.Get() || !lpszEntry || (!pData && nBytes)) return FALSE;
    return RegSetValueExA(key.Get(), lpszEntry, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    if (nMaxMRU == 0) return;
    m_pRecentFileList = std::make_unique<CRecentFileList>(0, "Recent File List", "File%d", static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings() {
    if (m_pRecentFileList) m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName) {
    if (m_pRecentFileList) m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> pTemplate) {
    if (pTemplate) m_templates.push_back(std::move(pTemplate));
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName) {
    return m_templates.empty() ? nullptr : m_templates.front()->OpenDocumentFile(lpszFileName);
}

BOOL CWinApp::SaveAllModified() {
    for (auto& docTemplate : m_templates)
        if (!docTemplate->SaveAllModified()) return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    for (auto& docTemplate : m_templates) docTemplate->CloseAllDocuments(bEndSession);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    for (std::size_t i = 1; i < arguments_.size(); ++i) {
        const char* argument = arguments_[i].c_str();
        const bool flag = argument[0] == '-' || argument[0] == '/';
        // A path that starts with '/' is a file on this system, unless it names a switch.
        const bool path = argument[0] == '/' && std::filesystem::exists(argument);
        rCmdInfo.ParseParam(flag && !path ? argument + 1 : argument, flag && !path, i + 1 == arguments_.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
        case CCommandLineInfo::FileNew:
            if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
            return m_pMainWnd != nullptr;
        case CCommandLineInfo::FileOpen:
            return OpenDocumentFile(rCmdInfo.m_strFileName.c_str()) != nullptr;
        case CCommandLineInfo::FilePrint:
        case CCommandLineInfo::FilePrintTo:
            // Printing is the view's: open, print (no printer here), and end.
            if (OpenDocumentFile(rCmdInfo.m_strFileName.c_str()) && m_pMainWnd)
                m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
            return FALSE;
        case CCommandLineInfo::FileDDE:
        case CCommandLineInfo::AppRegister:
        case CCommandLineInfo::AppUnregister:
            return FALSE;  // nothing to register with, no DDE here: the program ends
        case CCommandLineInfo::FileNothing:
        default:
            return TRUE;
    }
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT) {
    EnsureNames();
    // Owned by the active window of the program, else the main window.
    HWND owner = ::GetActiveWindow();
    if (!owner && m_pMainWnd) owner = m_pMainWnd->m_hWnd;
    if ((nType & MB_ICONMASK) == 0) {
        const UINT buttons = nType & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL)
            nType |= MB_ICONEXCLAMATION;
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            nType |= MB_ICONQUESTION;
    }
    return MessageBoxA(owner, lpszPrompt, appName_.c_str(), nType);
}

BOOL CWinApp::DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate) {
    // The template's file type first, then every file.
    std::string filter, extension;
    if (!pTemplate && !m_templates.empty()) pTemplate = m_templates.front().get();
    std::string typeName;
    if (pTemplate && pTemplate->GetDocString(typeName, CDocTemplate::filterName) && !typeName.empty() &&
        pTemplate->GetDocString(extension, CDocTemplate::filterExt) && !extension.empty()) {
        filter += typeName + '\0' + "*" + extension + '\0';
        if (extension.front() == '.') extension.erase(0, 1);
    }
    filter += AfxLoadString(AFX_IDS_ALLFILTER) + '\0' + "*.*" + '\0' + '\0';
    const std::string title = AfxLoadString(nIDSTitle);
    std::vector<char> path(4096, '\0');
    fileName.copy(path.data(), path.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = lFlags | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_PATHMUSTEXIST |
                (bOpenFileDialog ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    if (!(bOpenFileDialog ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn))) return FALSE;
    fileName = path.data();
    return TRUE;
}

void CWinApp::OnFileNew() {
    if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    std::string path;
    if (!DoPromptFileName(path, AFX_IDS_OPENFILE, 0, TRUE, nullptr)) return;
    OpenDocumentFile(path.c_str());
}

void CWinApp::OnFilePrintSetup() {
    // There are no printers to set up.
    AfxMessageBox(AFX_IDP_NO_PRINTER, MB_ICONEXCLAMATION);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID) {
    if (!m_pRecentFileList) return FALSE;
    const int index = static_cast<int>(nID) - static_cast<int>(ID_FILE_MRU_FIRST);
    if (index < 0 || index >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[index].empty()) return FALSE;
    const std::string path = (*m_pRecentFileList)[index];
    // A file that cannot be opened any more leaves the list.
    if (!OpenDocumentFile(path.c_str())) m_pRecentFileList->Remove(index);
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(pCmdUI);
    else
        pCmdUI->Enable(FALSE);
}

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, &CWinApp::OnUpdateRecentFileMenu)
ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, &CWinApp::OnOpenRecentFile)
END_MESSAGE_MAP()
