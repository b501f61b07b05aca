#include "platform/framework/CDocument.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/framework/AfxRes.h"
#include "platform/framework/CArchive.h"
#include "platform/framework/CDocTemplate.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CView.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/StringTable.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_SAVE, &CDocument::OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument() {
    // Views that outlive their document no longer point at it.
    for (CView* view : m_viewList) view->m_pDocument = nullptr;
}

void CDocument::SetTitle(LPCSTR lpszTitle) {
    m_strTitle = lpszTitle ? lpszTitle : "";
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(lpszPathName ? lpszPathName : "", error);
    m_strPathName =
        (error ? std::filesystem::path(lpszPathName ? lpszPathName : "") : path.lexically_normal()).string();
    SetTitle(std::filesystem::path(m_strPathName).filename().string().c_str());
    if (bAddToMRU)
        if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName.c_str());
}

void CDocument::AddView(CView* pView) {
    if (!pView || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end()) return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    const auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end()) return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();  // may close and free this document: last
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    const std::vector<CView*> views = m_viewList;
    for (CView* view : views)
        if (view != pSender) view->OnUpdate(pSender, lHint, pHint);
}

void CDocument::OnChangedViewList() {
    if (m_viewList.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame(); frame && frame->m_hWnd) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName) {
    std::ifstream in(lpszPathName ? lpszPathName : "", std::ios::binary);
    if (!in) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC, MB_ICONEXCLAMATION);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag();  // dirty while reading
    CArchive archive(in);
    Serialize(archive);
    if (archive.Failed()) {
        DeleteContents();
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC, MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName) {
    // Written beside the file and renamed over it: a failed save leaves the old file whole.
    const std::string path = lpszPathName ? lpszPathName : "";
    const std::string temporary = path + ".saving";
    bool saved = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            CArchive archive(out);
            Serialize(archive);
            archive.Flush();
            saved = !archive.Failed();
        }
    }
    std::error_code error;
    if (saved) std::filesystem::rename(temporary, path, error);
    if (!saved || error) {
        std::filesystem::remove(temporary, error);
        AfxMessageBox(AFX_IDP_FAILED_TO_SAVE_DOC, MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    // Destroying the frames removes the views; the document must not close itself meanwhile.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.empty()) {
        CView* view = m_viewList.front();
        const std::size_t before = m_viewList.size();
        if (CFrameWnd* frame = view->GetParentFrame()) {
            PreCloseFrame(frame);
            frame->DestroyWindow();
        } else {
            view->DestroyWindow();
        }
        if (m_viewList.size() == before && m_viewList.front() == view) RemoveView(view);
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete && m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);  // frees this: last
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame) {
    // Another frame on the document keeps it open without asking.
    for (CView* view : m_viewList)
        if (view->GetParentFrame() != pFrame) return TRUE;
    return SaveModified();
}

BOOL CDocument::SaveModified() {
    if (!IsModified()) return TRUE;
    std::string name = m_strPathName.empty() ? m_strTitle : m_strPathName;
    if (name.empty()) name = AfxLoadString(AFX_IDS_UNTITLED);
    std::string prompt = AfxLoadString(AFX_IDP_ASK_TO_SAVE);
    if (const auto at = prompt.find("%1"); at != std::string::npos) prompt.replace(at, 2, name);
    switch (AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION, AFX_IDP_ASK_TO_SAVE)) {
        case IDCANCEL:
            return FALSE;
        case IDYES:
            return DoFileSave();
        default:
            return TRUE;
    }
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace) {
    std::string path = lpszPathName ? lpszPathName : "";
    if (path.empty()) {
        path = m_strPathName.empty() ? m_strTitle : m_strPathName;
        CWinApp* app = AfxGetApp();
        if (!app || !app->DoPromptFileName(path, AFX_IDS_SAVEFILE, 0, FALSE, m_pDocTemplate)) return FALSE;
    }
    if (!OnSaveDocument(path.c_str())) return FALSE;
    if (bReplace) SetPathName(path.c_str());
    return TRUE;
}

BOOL CDocument::DoFileSave() {
    // A path that cannot be written any more is asked for again.
    const char* path = m_strPathName.c_str();
    if (!m_strPathName.empty() && (access(path, F_OK) != 0 || access(path, W_OK) == 0)) return DoSave(path);
    return DoSave(nullptr);
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }

void CDocument::PreCloseFrame(CFrameWnd*) {}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
