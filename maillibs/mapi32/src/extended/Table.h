// A table over rows that a source produces on demand: contents of a folder, recipients,
// attachments, message stores, status objects, profiles. The table is a snapshot of the
// source's rows at creation; SetColumns, Restrict and SortTable shape it, QueryRows reads it
// in batches from a cursor.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "extended/Com.h"
#include "extended/Props.h"
#include "extended/Restriction.h"

namespace vesk::mapi32::ex {

/// Where a table's rows come from. `row` may be slow (a contents row reads a message's
/// header); the table asks only for rows it hands out or must test.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual std::size_t count() const = 0;
    virtual PropList row(std::size_t index) = 0;
    /// Held around every call of `row`; null when the source needs no lock.
    virtual std::recursive_mutex* lock() { return nullptr; }
};

/// Most rows one QueryRows hands out, whatever the caller asks for (callers loop).
inline constexpr ULONG kMaxBatch = 500;

/// Makes a table over `source` with `columns` as its first column set.
IMAPITable* makeTable(std::unique_ptr<RowSource> source, std::vector<ULONG> columns);

/// A source over rows known in advance.
class FixedRows final : public RowSource {
public:
    explicit FixedRows(std::vector<PropList> rows) : m_rows(std::move(rows)) {}
    std::size_t count() const override { return m_rows.size(); }
    PropList row(std::size_t index) override { return m_rows[index]; }

private:
    std::vector<PropList> m_rows;
};

/// A row set of `rows` projected on `columns`: one block for the set, one per row.
/// Null when memory runs out (nothing is left allocated).
LPSRowSet makeRowSet(const std::vector<PropList>& rows, const std::vector<ULONG>& columns);

}  // namespace vesk::mapi32::ex
