#pragma once
// The application object: one per program, made before main runs AfxWinMain. It starts the
// program (InitInstance), runs the message loop, keeps the document templates, the per-user
// profile under HKEY_CURRENT_USER\Software\<registry key>\<profile name>, the recent-file list,
// and the framework's standard commands (new, open, recent files, print set-up, exit).

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/MessageBox.h"
#include "platform/framework/CWinThread.h"
#include "platform/kernel/Registry.h"

class CCmdUI;
class CCommandLineInfo;
class CDocTemplate;
class CDocument;
class CRecentFileList;

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)

public:
    // Null: the name is string AFX_IDS_APP_TITLE, else the program's file name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;  // null until SetRegistryKey
    LPCSTR m_pszProfileName = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;  // how the main frame first shows
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

    // The program's arguments, for ParseCommandLine (AfxWinMain sets them).
    void SetCommandLine(int argc, char** argv);

    virtual BOOL InitApplication();
    // The 3-D look of controls in dialogs: ours always have it.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }
    BOOL InitInstance() override;
    int ExitInstance() override;  // saves the standard profile settings
    BOOL OnIdle(LONG lCount) override;

    // Per-user settings: after SetRegistryKey(key), section S lives in
    // HKEY_CURRENT_USER\Software\key\<profile name>\S. Without a key nothing is kept: reads give the
    // defaults and writes fail.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    std::string GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    // A null value deletes the entry; a null entry deletes the section.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, std::vector<BYTE>* data);
    BOOL WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, const BYTE* pData, UINT nBytes);
    // Open keys (created when missing) for the caller to close; null without a registry key.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCSTR lpszSection);

    // The recent-file list of nMaxMRU entries ("Recent File List", "File1".."FileN").
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    virtual void AddToRecentFileList(LPCSTR lpszPathName);

    // Documents.
    void AddDocTemplate(std::unique_ptr<CDocTemplate> pTemplate);
    const std::vector<std::unique_ptr<CDocTemplate>>& GetDocTemplates() const { return m_templates; }
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    // The command line: no argument makes a new document, a path opens it.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // What AfxMessageBox shows (a message box titled with the application's name); IDOK,
    // IDCANCEL, IDYES ... as the user answered.
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // Asks for a file to open or save as; FALSE when the user cancels.
    virtual BOOL DoPromptFileName(std::string& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);

    // The standard commands, for a program's map: ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT_SETUP.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    BOOL OnOpenRecentFile(UINT nID);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

protected:
    DECLARE_MESSAGE_MAP()

private:
    void EnsureNames();

    std::string appName_;
    std::string exeName_;
    std::string registryKey_;
    std::string profileName_;
    std::vector<std::string> arguments_;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

CWinApp* AfxGetApp();
// Hosting of control containers: there are none on this platform, so there is nothing to enable.
inline void AfxEnableControlContainer() {}
CWnd* AfxGetMainWnd();
// Shows a message through the application (DoMessageBox), owned by the main window.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));
// The program's main: the application's InitApplication and InitInstance, then its Run; the exit
// code. InitInstance failing ends the program (after ExitInstance).
int AfxWinMain(int argc, char** argv);
