// For providers whose raw fields are copied one for one from a parsed source:
// a table of (field, source member) rows instead of a line of code per field.
#pragma once

#include <cstddef>

#include "platform/pdh/engine/raw_record.h"
#include "platform/pdh/sources/parse_result.h"

namespace vantorel::pdh::objects {

template <class Struct>
struct FieldFrom {
    unsigned field;
    sources::OptU64 Struct::*member;
};

// Sets each field whose source value was read; a missing one stays unset, so
// only its own counters read invalid data.
template <class Struct, std::size_t N>
void setFields(const Struct* parsed, const FieldFrom<Struct> (&table)[N], RawRecord& out) {
    if (parsed == nullptr) return;
    for (const FieldFrom<Struct>& row : table)
        if (const sources::OptU64& value = parsed->*(row.member)) out.set(row.field, *value);
}

}  // namespace vantorel::pdh::objects
