// Which mounts LogicalDisk lists: the ones df shows, less network file systems.
#pragma once

#include <string_view>
#include <vector>

#include "platform/pdh/sources/mountinfo.h"

namespace vantorel::pdh {

bool isPseudoFileSystem(std::string_view fsType);
// statvfs on these can block for as long as the server does not answer.
bool isNetworkFileSystem(std::string_view fsType);

// Mount points to ask statvfs about, in mount order: no pseudo or network file
// systems, one mount per directory (the last: it hides the others) and one per
// device (the first; later ones are bind mounts or
// the same file system mounted again). File systems with no blocks are dropped
// after statvfs, by the caller.
std::vector<const sources::MountEntry*> dfCandidates(const sources::MountTable& table);

}  // namespace vantorel::pdh
