#include "platform/framework/CCmdTarget.h"

#include <array>

#include "platform/framework/AfxPriv.h"
#include "platform/framework/CCmdUI.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

// The tables never change, so what a lookup found stays true; each thread keeps its own small
// direct-mapped caches, one for window messages and one for routed commands.
struct CachedLookup {
    const AFX_MSGMAP* map = nullptr;
    UINT message = 0;
    UINT code = 0;
    UINT id = 0;
    const AFX_MSGMAP_ENTRY* entry = nullptr;
};
thread_local std::array<CachedLookup, 256> tMessageCache;
thread_local std::array<CachedLookup, 512> tCommandCache;

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP_ENTRY* entry, UINT message, UINT code, UINT id) {
    for (; entry->pfn; ++entry)
        if (entry->nMessage == message && entry->nCode == code && id >= entry->nID && id <= entry->nLastID)
            return entry;
    return nullptr;
}

const AFX_MSGMAP_ENTRY* FindInChain(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        if (const AFX_MSGMAP_ENTRY* entry = FindEntry(map->lpEntries, message, code, id)) return entry;
    return nullptr;
}

template <std::size_t N>
const AFX_MSGMAP_ENTRY* Cached(std::array<CachedLookup, N>& cache, const AFX_MSGMAP* map, UINT message, UINT code,
                               UINT id) {
    const std::size_t slot = (reinterpret_cast<std::uintptr_t>(map) >> 4) ^ message ^ (code * 31u) ^ (id * 131u);
    CachedLookup& cached = cache[slot & (N - 1)];
    if (cached.map == map && cached.message == message && cached.code == code && cached.id == id) return cached.entry;
    cached = CachedLookup{map, message, code, id, FindInChain(map, message, code, id)};
    return cached.entry;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const {
    return Cached(tMessageCache, GetMessageMap(), message, 0, 0);
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    UINT message = WM_COMMAND;
    UINT code = static_cast<UINT>(nCode);
    if (nCode != CN_UPDATE_COMMAND_UI) {
        if (const UINT high = HIWORD(code)) message = high;
        code = LOWORD(code);
    }
    const AFX_MSGMAP_ENTRY* entry = Cached(tCommandCache, GetMessageMap(), message, code, nID);
    if (!entry) return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = entry;
        return TRUE;
    }
    AfxCall call(message, 0, 0, nID, pExtra);
    if (nCode == CN_UPDATE_COMMAND_UI) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        ui->m_bContinueRouting = FALSE;
        entry->pfn(*this, call);
        return !ui->m_bContinueRouting;
    }
    return entry->pfn(*this, call);
}
