// State that outlives a handler: the one query and the records of the counters
// added to it, in the order they were added (row i of the table is entry i).
#pragma once

#include <vector>

#include "pdh/pdh.h"

struct _tag_PDHCounterStruct {
    LONG lValue;
    PDH_HCOUNTER hCounter;
};

// Holds the records without owning them: a record whose counter was added lives
// until the process ends.
extern std::vector<_tag_PDHCounterStruct*> Counters;

// Written only by the open call.
extern PDH_HQUERY hQuery;
