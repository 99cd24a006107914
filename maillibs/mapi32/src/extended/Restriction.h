// Restrictions on tables: the caller's SRestriction tree copied into values of our own (the
// caller may free its tree once Restrict returns) and tested against rows.
#pragma once

#include <vector>

#include "extended/Props.h"

namespace vesk::mapi32::ex {

struct Condition {
    ULONG rt = RES_AND;
    ULONG relop = RELOP_EQ;  ///< RES_PROPERTY, RES_COMPAREPROPS, RES_SIZE; BMR_* for RES_BITMASK
    ULONG tag = PR_NULL;
    ULONG tag2 = PR_NULL;     ///< RES_COMPAREPROPS
    ULONG number = 0;         ///< RES_BITMASK: the mask; RES_SIZE: the size; RES_CONTENT: fuzzy level
    Prop value;               ///< RES_PROPERTY, RES_CONTENT
    std::vector<Condition> parts;  ///< RES_AND, RES_OR, RES_NOT (one)
};

/// Copies `in`. S_OK; MAPI_E_TOO_COMPLEX for kinds not offered (sub-object and comment
/// restrictions), trees deeper than 16 or larger than 1000 nodes;
/// MAPI_E_INVALID_PARAMETER for null pointers or values that cannot be read.
HRESULT copyRestriction(const SRestriction& in, Condition& out);

/// True when `row` meets `condition`. A property the row lacks meets no comparison.
bool matches(const Condition& condition, const PropList& row);

/// -1, 0 or 1 as `a` sorts before, with or after `b` (same type assumed; strings without
/// regard to case).
int compareValues(const Prop& a, const Prop& b);

}  // namespace vesk::mapi32::ex
