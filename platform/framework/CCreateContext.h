#pragma once
// What a frame's creation passes down to the views it makes: the view class, the document the
// views show, and the template and frame they belong to.

struct CRuntimeClass;
class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
