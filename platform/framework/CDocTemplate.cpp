#include "platform/framework/CDocTemplate.h"

#include "platform/framework/AfxRes.h"
#include "platform/framework/CCreateContext.h"
#include "platform/framework/CDocument.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/StringTable.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {
    LoadTemplate();
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate() { m_strDocStrings = AfxLoadString(m_nIDResource); }

BOOL CDocTemplate::GetDocString(std::string& rString, DocStringIndex index) const {
    return AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (!m_pDocClass) return nullptr;
    std::unique_ptr<CObject> object = m_pDocClass->CreateObject();
    auto* doc = dynamic_cast<CDocument*>(object.get());
    if (!doc) return nullptr;
    object.release();
    AddDocument(std::unique_ptr<CDocument>(doc));
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    if (!m_pFrameClass) return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    std::unique_ptr<CObject> object = m_pFrameClass->CreateObject();
    auto* frame = dynamic_cast<CFrameWnd*>(object.get());
    // A frame whose window failed goes with `object`; its views went with their windows.
    if (!frame || !frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    CWnd::AdoptObject(std::move(object), frame);
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    std::string title;
    if (!GetDocString(title, docName) || title.empty()) title = AfxLoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(title.c_str());
}

BOOL CDocTemplate::SaveAllModified() {
    for (CDocument* doc : GetDocuments())
        if (!doc->SaveModified()) return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    for (CDocument* doc : GetDocuments()) doc->OnCloseDocument();
}

void CDocTemplate::Attach(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::Release(CDocument* pDoc) { pDoc->m_pDocTemplate = nullptr; }
