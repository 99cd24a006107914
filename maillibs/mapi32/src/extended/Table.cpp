#include "extended/Table.h"

#include <algorithm>
#include <cstring>

#include "common/Buffers.h"

namespace vesk::mapi32::ex {
namespace {

constexpr ULONG kMaxColumns = 4096;
constexpr ULONG kMaxSorts = 16;

// One row's values for `columns`, in its own block: missing ones as PT_ERROR.
LPSPropValue projectRow(const PropList& row, const std::vector<ULONG>& columns) {
    auto* values = static_cast<SPropValue*>(allocateBuffer(sizeof(SPropValue) * (columns.empty() ? 1 : columns.size())));
    if (values == nullptr) return nullptr;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!writeRequested(row, columns[i], values[i], values)) {
            freeBuffer(values);
            return nullptr;
        }
    }
    return values;
}

class Table final : public ComObject<IMAPITable> {
public:
    Table(std::unique_ptr<RowSource> source, std::vector<ULONG> columns)
        : ComObject({&IID_IMAPITable}), m_source(std::move(source)), m_columns(std::move(columns)) {
        m_order.resize(m_source->count());
        for (std::size_t i = 0; i < m_order.size(); ++i) m_order[i] = i;
    }

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* lppMAPIError) override {
        if (lppMAPIError != nullptr) *lppMAPIError = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPMAPIADVISESINK, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetStatus(ULONG* lpulTableStatus, ULONG* lpulTableType) override {
        if (lpulTableStatus == nullptr || lpulTableType == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lpulTableStatus = TBLSTAT_COMPLETE;
        *lpulTableType = TBLTYPE_SNAPSHOT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray lpPropTagArray, ULONG) override {
        return guardedCall([&]() -> HRESULT {
            if (lpPropTagArray == nullptr || lpPropTagArray->cValues == 0 || lpPropTagArray->cValues > kMaxColumns) {
                return MAPI_E_INVALID_PARAMETER;
            }
            // Copied: the caller may free its array once the call returns.
            m_columns.assign(lpPropTagArray->aulPropTag, lpPropTagArray->aulPropTag + lpPropTagArray->cValues);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE QueryColumns(ULONG, LPSPropTagArray* lpPropTagArray) override {
        if (lpPropTagArray == nullptr) return MAPI_E_INVALID_PARAMETER;
        auto* tags = static_cast<SPropTagArray*>(allocateBuffer(CbNewSPropTagArray(m_columns.size() + 1)));
        if (tags == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
        tags->cValues = static_cast<ULONG>(m_columns.size());
        for (std::size_t i = 0; i < m_columns.size(); ++i) tags->aulPropTag[i] = m_columns[i];
        *lpPropTagArray = tags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRowCount(ULONG, ULONG* lpulCount) override {
        if (lpulCount == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lpulCount = static_cast<ULONG>(m_order.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SeekRow(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) override {
        long base = bkOrigin == BOOKMARK_BEGINNING ? 0
                    : bkOrigin == BOOKMARK_CURRENT ? static_cast<long>(m_cursor)
                    : bkOrigin == BOOKMARK_END     ? static_cast<long>(m_order.size())
                                                   : -1;
        if (base < 0) return MAPI_E_INVALID_BOOKMARK;
        long target = std::clamp(base + static_cast<long>(lRowCount), 0L, static_cast<long>(m_order.size()));
        if (lplRowsSought != nullptr) *lplRowsSought = static_cast<LONG>(target - base);
        m_cursor = static_cast<std::size_t>(target);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SeekRowApprox(ULONG ulNumerator, ULONG ulDenominator) override {
        if (ulDenominator == 0) return MAPI_E_INVALID_PARAMETER;
        std::uint64_t target = static_cast<std::uint64_t>(m_order.size()) * ulNumerator / ulDenominator;
        m_cursor = static_cast<std::size_t>(std::min<std::uint64_t>(target, m_order.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryPosition(ULONG* lpulRow, ULONG* lpulNumerator, ULONG* lpulDenominator) override {
        if (lpulRow == nullptr || lpulNumerator == nullptr || lpulDenominator == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lpulRow = static_cast<ULONG>(m_cursor);
        *lpulNumerator = static_cast<ULONG>(m_cursor);
        *lpulDenominator = static_cast<ULONG>(m_order.empty() ? 1 : m_order.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FindRow(LPSRestriction lpRestriction, BOOKMARK bkOrigin, ULONG ulFlags) override {
        return guardedCall([&]() -> HRESULT {
            if (lpRestriction == nullptr) return MAPI_E_INVALID_PARAMETER;
            Condition condition;
            HRESULT hr = copyRestriction(*lpRestriction, condition);
            if (hr != S_OK) return hr;
            std::size_t start = bkOrigin == BOOKMARK_BEGINNING ? 0 : bkOrigin == BOOKMARK_END ? m_order.size() : m_cursor;
            bool backward = (ulFlags & DIR_BACKWARD) != 0;
            for (std::size_t i = start; backward ? i > 0 : i < m_order.size(); backward ? --i : ++i) {
                std::size_t at = backward ? i - 1 : i;
                if (matches(condition, rowAt(at))) {
                    m_cursor = at;
                    return S_OK;
                }
            }
            return MAPI_E_NOT_FOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE Restrict(LPSRestriction lpRestriction, ULONG) override {
        return guardedCall([&]() -> HRESULT {
            std::vector<std::size_t> order;
            if (lpRestriction == nullptr) {
                // No restriction: every row again, in the table's sort order.
                order = m_sorted.empty() ? allRows() : m_sorted;
            } else {
                Condition condition;
                HRESULT hr = copyRestriction(*lpRestriction, condition);
                if (hr != S_OK) return hr;
                for (std::size_t index : m_sorted.empty() ? allRows() : m_sorted) {
                    if (matches(condition, rowOf(index))) order.push_back(index);
                }
            }
            m_order = std::move(order);
            m_cursor = 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateBookmark(BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE FreeBookmark(BOOKMARK) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SortTable(LPSSortOrderSet lpSortCriteria, ULONG) override {
        return guardedCall([&]() -> HRESULT {
            if (lpSortCriteria == nullptr || lpSortCriteria->cSorts > kMaxSorts) return MAPI_E_INVALID_PARAMETER;
            if (lpSortCriteria->cCategories != 0) return MAPI_E_TOO_COMPLEX;
            std::vector<SSortOrder> keys(lpSortCriteria->aSort, lpSortCriteria->aSort + lpSortCriteria->cSorts);
            for (const SSortOrder& k : keys) {
                if (k.ulOrder != TABLE_SORT_ASCEND && k.ulOrder != TABLE_SORT_DESCEND) return MAPI_E_TOO_COMPLEX;
            }
            std::vector<std::pair<std::size_t, PropList>> rows;
            for (std::size_t index : m_order) rows.emplace_back(index, rowOf(index));
            std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
                for (const SSortOrder& k : keys) {
                    const Prop* x = findProp(a.second, k.ulPropTag);
                    const Prop* y = findProp(b.second, k.ulPropTag);
                    // Rows lacking the value sort last.
                    if (x == nullptr || y == nullptr || PROP_TYPE(x->tag) != PROP_TYPE(y->tag)) {
                        if ((x == nullptr) != (y == nullptr)) return y == nullptr;
                        continue;
                    }
                    int c = compareValues(*x, *y);
                    if (c != 0) return k.ulOrder == TABLE_SORT_ASCEND ? c < 0 : c > 0;
                }
                return false;
            });
            m_order.clear();
            for (const auto& r : rows) m_order.push_back(r.first);
            m_sorted = m_order;
            m_cursor = 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE QuerySortOrder(LPSSortOrderSet*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE QueryRows(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) override {
        return guardedCall([&]() -> HRESULT {
            if (lppRows == nullptr || lRowCount == 0) return MAPI_E_INVALID_PARAMETER;
            *lppRows = nullptr;
            std::size_t start = m_cursor;
            std::size_t wanted = 0;
            if (lRowCount < 0) {
                // Backwards: move up that many rows first, then read forward to where we were.
                std::size_t back = std::min<std::size_t>(static_cast<std::size_t>(-static_cast<long>(lRowCount)), m_cursor);
                start = m_cursor - back;
                wanted = back;
            } else {
                wanted = std::min<std::size_t>(static_cast<std::size_t>(lRowCount), m_order.size() - std::min(m_cursor, m_order.size()));
            }
            wanted = std::min<std::size_t>(wanted, kMaxBatch);
            std::vector<PropList> rows;
            rows.reserve(wanted);
            for (std::size_t i = 0; i < wanted; ++i) rows.push_back(rowAt(start + i));
            LPSRowSet set = makeRowSet(rows, m_columns);
            if (set == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
            if ((ulFlags & TBL_NOADVANCE) == 0) m_cursor = lRowCount < 0 ? start : start + wanted;
            *lppRows = set;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Abort() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE WaitForCompletion(ULONG, ULONG, ULONG* lpulTableStatus) override {
        if (lpulTableStatus != nullptr) *lpulTableStatus = TBLSTAT_COMPLETE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override { return MAPI_E_NO_SUPPORT; }

private:
    std::vector<std::size_t> allRows() const {
        std::vector<std::size_t> all(m_source->count());
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
        return all;
    }
    PropList rowAt(std::size_t position) { return rowOf(m_order[position]); }
    PropList rowOf(std::size_t index) {
        std::recursive_mutex* lock = m_source->lock();
        if (lock == nullptr) return m_source->row(index);
        std::lock_guard<std::recursive_mutex> guard(*lock);
        return m_source->row(index);
    }

    std::unique_ptr<RowSource> m_source;
    std::vector<ULONG> m_columns;
    std::vector<std::size_t> m_order;   // the rows as the caller sees them (restricted, sorted)
    std::vector<std::size_t> m_sorted;  // every row in sort order, once SortTable ran
    std::size_t m_cursor = 0;
};

}  // namespace

IMAPITable* makeTable(std::unique_ptr<RowSource> source, std::vector<ULONG> columns) {
    return new Table(std::move(source), std::move(columns));
}

LPSRowSet makeRowSet(const std::vector<PropList>& rows, const std::vector<ULONG>& columns) {
    auto* set = static_cast<SRowSet*>(allocateBuffer(CbNewSRowSet(rows.size() + 1)));
    if (set == nullptr) return nullptr;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LPSPropValue values = projectRow(rows[i], columns);
        if (values == nullptr) {
            for (std::size_t j = 0; j < i; ++j) freeBuffer(set->aRow[j].lpProps);
            freeBuffer(set);
            return nullptr;
        }
        set->aRow[i].cValues = static_cast<ULONG>(columns.size());
        set->aRow[i].lpProps = values;
    }
    set->cRows = static_cast<ULONG>(rows.size());
    return set;
}

}  // namespace vesk::mapi32::ex
