#include "app/CPelorinApp.h"

#include <new>
#include <vector>

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CPelorinDoc.h"
#include "platform/controls/FileDialog.h"
#include "platform/framework/CCommandLineInfo.h"
#include "platform/framework/CSingleDocTemplate.h"
#include "presentation/CPelorinView.h"
#include "presentation/FileDialogRequest.h"
#include "resources/ImageResources.h"
#include "resources/ProgramResources.h"
#include "resources/ProgramTexts.h"
#include "resources/ResourceIds.h"
#include "widgets/CIconMenu.h"

namespace {

// The file questions of the export and the text-file object, as the system's dialogs owned by
// the main window.
bool AskWithDialog(const FileDialogRequest& request, std::string& path) {
    std::string filter;
    for (const auto& [description, pattern] : request.filters) {
        filter += description + '\0' + pattern + '\0';
    }
    filter += '\0';
    std::vector<char> file(4096, '\0');
    request.fileName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    CWnd* owner = AfxGetMainWnd();
    ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    ofn.Flags = (request.hideReadOnly ? OFN_HIDEREADONLY : 0) | (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0) |
                (request.explorer ? OFN_EXPLORER : 0);
    if (!(request.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return false;
    path = file.data();
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPelorinApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, &CPelorinApp::OnAppAbout)
ON_COMMAND(ID_HELP, &CPelorinApp::OnHelp)
ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
ON_COMMAND(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

CPelorinApp::CPelorinApp(std::string serviceName) : CWinApp(text::kAppTitle), serviceName_(std::move(serviceName)) {}

BOOL CPelorinApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    // A channel that cannot be made is reported by the frame, as a service that does not answer.
    channel.reset(new (std::nothrow) ServiceChannel(serviceName_.c_str()));
    SetRegistryKey(text::kRegistryKey);
    LoadStdProfileSettings(4);

    RegisterImageResources();
    RegisterProgramResources();
    FileDialogRequest::SetPrompt(AskWithDialog);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(CPelorinDoc),
                                                        RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CPelorinView)));
    // The frame's menus draw flat with their own border, icons in their normal and disabled looks.
    CIconMenu::SetMenuDrawMode(2);
    CIconMenu::SetIconVariants(1);
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine)) return FALSE;
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CPelorinApp::ExitInstance() {
    // The loop also ends with the main window still there (the service did not answer): it goes
    // now, stopping its loader, rather than among the thread's leftovers at exit.
    if (m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->DestroyWindow();
    m_pMainWnd = nullptr;
    FileDialogRequest::SetPrompt(nullptr);
    channel.reset();
    return CWinApp::ExitInstance();
}

void CPelorinApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}
