// Paging File: use of each swap area and of all swap space.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum PagingFile : unsigned { SwapUsed, SwapTotal, PagingFileFieldCount };
}  // namespace field

const Provider& pagingFileProvider();

}  // namespace vantorel::pdh
