#include "monitor/counter_records.h"

std::vector<_tag_PDHCounterStruct*> Counters;
PDH_HQUERY hQuery = nullptr;
