#pragma once
// The template of a single-document program: one document at a time in the main frame; a new or
// opened document reuses both.

#include "platform/framework/CDocTemplate.h"

class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)

public:
    CSingleDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                       const CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void AddDocument(std::unique_ptr<CDocument> pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    std::vector<CDocument*> GetDocuments() const override;

protected:
    std::unique_ptr<CDocument> m_pOnlyDoc;
};
