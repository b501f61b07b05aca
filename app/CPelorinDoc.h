#pragma once
// The document of the single-document template: it holds nothing, and reads and writes nothing.

#include "platform/framework/CDocument.h"

class CPelorinDoc : public CDocument {
    DECLARE_DYNCREATE(CPelorinDoc)

public:
    void Serialize(CArchive&) override {}
};
