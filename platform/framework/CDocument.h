#pragma once
// A document: the data a template's views show. It knows its views, its title and path, and
// routes the commands its views pass on to its template.

#include <string>
#include <vector>

#include "platform/framework/CCmdTarget.h"

class CArchive;
class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)

public:
    CDocument();
    ~CDocument() override;

    const std::string& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCSTR lpszTitle);  // and the titles of its frames
    const std::string& GetPathName() const { return m_strPathName; }
    // The title becomes the file's name; bAddToMRU puts the path into the recent-file list.
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList();  // closes a document left without views

    virtual void DeleteContents();
    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
    // Destroys the document's frames and, when it deletes itself (m_bAutoDelete), the document:
    // nothing of it may be used after this returns.
    virtual void OnCloseDocument();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual BOOL SaveModified();  // asks to save a modified document; FALSE to cancel
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    virtual void Serialize(CArchive& ar);
    // Saves to its path, or asks for one (bReplace: the path becomes the document's); FALSE when
    // cancelled or failed.
    virtual BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
    BOOL DoFileSave();

    // The standard commands ID_FILE_SAVE and ID_FILE_SAVE_AS.
    void OnFileSave();
    void OnFileSaveAs();
    void UpdateFrameCounts();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoDelete = TRUE;  // closing the last view closes the document and frees it

protected:
    DECLARE_MESSAGE_MAP()

    std::string m_strTitle;
    std::string m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    BOOL m_bModified = FALSE;

    friend class CDocTemplate;
};
