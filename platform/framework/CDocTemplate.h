#pragma once
// A document template: the resource id and the classes of the document, frame and view it makes
// together, and the documents it made (it owns them).

#include <memory>
#include <string>
#include <vector>

#include "platform/framework/CCmdTarget.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)

public:
    // The pieces of the template's string (resource nIDResource), separated by line feeds.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);
    ~CDocTemplate() override;

    virtual void LoadTemplate();
    virtual BOOL GetDocString(std::string& rString, DocStringIndex index) const;
    UINT GetResourceID() const { return m_nIDResource; }

    // A new document of the template's class, owned by the template; null when it cannot be made.
    virtual CDocument* CreateNewDocument();
    // A new frame (with its view) for the document, owned by its window; null when the frame's
    // window could not be created.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    // Opens (a path) or makes (null) the document with its frame; null on failure, which the user
    // has been told of.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual void SetDefaultTitle(CDocument* pDocument);

    virtual void AddDocument(std::unique_ptr<CDocument> pDoc) = 0;
    // Frees the document.
    virtual void RemoveDocument(CDocument* pDoc) = 0;
    virtual std::vector<CDocument*> GetDocuments() const = 0;
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

protected:
    void Attach(CDocument* pDoc);
    void Release(CDocument* pDoc);

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    std::string m_strDocStrings;
};
