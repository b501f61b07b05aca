#include "app/CPelorinDoc.h"

IMPLEMENT_DYNCREATE(CPelorinDoc, CDocument)
