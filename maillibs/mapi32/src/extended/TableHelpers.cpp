// HrQueryAllRows, FreeProws and FreePadrlist: the table helpers, over any IMAPITable (they use
// only its interface) and over row sets and recipient lists built by the allocation rules:
// one block for the set, one for each row's values.
#include <cstring>
#include <vector>

#include "common/Buffers.h"
#include "extended/Com.h"
#include "mapi32/mapix.h"

using namespace vesk::mapi32;

namespace {

constexpr LONG kBatch = 500;
// A table larger than this is not read into one row set, whatever the caller allowed.
constexpr std::size_t kMaxAllRows = 1000000;

// Frees the rows of `rows` and the set; the row blocks that are not live roots are left
// alone (a caller who put a linked block there must not make us free it twice).
void freeRows(SRow* rows, ULONG count) {
    for (ULONG i = 0; i < count; ++i) {
        if (rows[i].lpProps != nullptr) freeBuffer(rows[i].lpProps);
        rows[i].lpProps = nullptr;
    }
}

}  // namespace

extern "C" MAPI32_API void WINAPI FreeProws(LPSRowSet lpRows) {
    if (lpRows == nullptr || !isLiveRoot(lpRows)) return;
    freeRows(lpRows->aRow, lpRows->cRows);
    freeBuffer(lpRows);
}

extern "C" MAPI32_API void WINAPI FreePadrlist(LPADRLIST lpAdrlist) {
    if (lpAdrlist == nullptr || !isLiveRoot(lpAdrlist)) return;
    for (ULONG i = 0; i < lpAdrlist->cEntries; ++i) {
        if (lpAdrlist->aEntries[i].rgPropVals != nullptr) freeBuffer(lpAdrlist->aEntries[i].rgPropVals);
        lpAdrlist->aEntries[i].rgPropVals = nullptr;
    }
    freeBuffer(lpAdrlist);
}

extern "C" MAPI32_API HRESULT WINAPI HrQueryAllRows(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                                                    LPSRestriction lpRestriction, LPSSortOrderSet lpSortOrderSet,
                                                    LONG crowsMax, LPSRowSet* lppRows) {
    return vesk::mapi32::ex::guardedCall([&]() -> HRESULT {
        if (lpTable == nullptr || lppRows == nullptr || crowsMax < 0) return MAPI_E_INVALID_PARAMETER;
        *lppRows = nullptr;
        HRESULT hr = S_OK;
        if (lpPropTags != nullptr && FAILED(hr = lpTable->SetColumns(lpPropTags, TBL_BATCH))) return hr;
        if (lpRestriction != nullptr && FAILED(hr = lpTable->Restrict(lpRestriction, TBL_BATCH))) return hr;
        if (lpSortOrderSet != nullptr && FAILED(hr = lpTable->SortTable(lpSortOrderSet, TBL_BATCH))) return hr;
        if (FAILED(hr = lpTable->SeekRow(BOOKMARK_BEGINNING, 0, nullptr))) return hr;

        // Batches are gathered row by row; the batches' own sets are freed as we go.
        std::vector<SRow> rows;
        HRESULT result = S_OK;
        for (;;) {
            LPSRowSet batch = nullptr;
            hr = lpTable->QueryRows(kBatch, 0, &batch);
            if (FAILED(hr)) {
                result = hr;
                break;
            }
            if (batch == nullptr) break;
            ULONG n = batch->cRows;
            try {
                for (ULONG i = 0; i < n; ++i) rows.push_back(batch->aRow[i]);
            } catch (...) {
                freeRows(batch->aRow, n);
                freeBuffer(batch);
                result = MAPI_E_NOT_ENOUGH_MEMORY;
                break;
            }
            freeBuffer(batch);
            if (n == 0) break;
            if ((crowsMax != 0 && rows.size() > static_cast<std::size_t>(crowsMax)) || rows.size() > kMaxAllRows) {
                result = MAPI_E_TABLE_TOO_BIG;
                break;
            }
        }
        LPSRowSet all = nullptr;
        if (result == S_OK) {
            all = static_cast<LPSRowSet>(allocateBuffer(CbNewSRowSet(rows.size() + 1)));
            if (all == nullptr) result = MAPI_E_NOT_ENOUGH_MEMORY;
        }
        if (result != S_OK) {
            freeRows(rows.data(), static_cast<ULONG>(rows.size()));
            return result;
        }
        all->cRows = static_cast<ULONG>(rows.size());
        if (!rows.empty()) std::memcpy(all->aRow, rows.data(), rows.size() * sizeof(SRow));
        *lppRows = all;
        return S_OK;
    });
}
