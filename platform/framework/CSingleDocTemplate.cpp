#include "platform/framework/CSingleDocTemplate.h"

#include "platform/framework/AfxRes.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinApp.h"

IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                       const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (m_pOnlyDoc) Release(m_pOnlyDoc.get());
}

void CSingleDocTemplate::AddDocument(std::unique_ptr<CDocument> pDoc) {
    if (!pDoc || m_pOnlyDoc) return;
    m_pOnlyDoc = std::move(pDoc);
    Attach(m_pOnlyDoc.get());
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
    if (!pDoc || m_pOnlyDoc.get() != pDoc) return;
    Release(pDoc);
    m_pOnlyDoc.reset();
}

std::vector<CDocument*> CSingleDocTemplate::GetDocuments() const {
    if (m_pOnlyDoc) return {m_pOnlyDoc.get()};
    return {};
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible) {
    CWinApp* app = AfxGetApp();
    CDocument* doc = m_pOnlyDoc.get();
    CFrameWnd* frame = nullptr;
    bool createdDoc = false;
    if (doc) {
        if (!doc->SaveModified()) return nullptr;
        frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    } else {
        doc = CreateNewDocument();
        if (!doc) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            return nullptr;
        }
        createdDoc = true;
    }
    bool createdFrame = false;
    if (!frame) {
        // A frame that fails takes its views with it; the document must not close itself then.
        const BOOL autoDelete = doc->m_bAutoDelete;
        doc->m_bAutoDelete = FALSE;
        frame = CreateNewFrame(doc, nullptr);
        doc->m_bAutoDelete = autoDelete;
        if (!frame) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            if (createdDoc) RemoveDocument(doc);
            return nullptr;
        }
        createdFrame = true;
    }
    if (!lpszPathName) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (createdFrame) frame->DestroyWindow();  // and the document with its last view
            return nullptr;
        }
    } else {
        if (!doc->OnOpenDocument(lpszPathName)) {
            if (createdFrame) {
                frame->DestroyWindow();
            } else if (doc->IsModified()) {
                // The failed read spoiled the open document: it starts over empty.
                SetDefaultTitle(doc);
                doc->OnNewDocument();
            }
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    if (createdFrame && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}
