#include "pdh/pdh.h"
#include "platform/pdh/browser/run_browse_dialog.h"
#include "platform/pdh/engine/library.h"

PDH_STATUS PdhBrowseCountersA(PPDH_BROWSE_DLG_CONFIG_A c) {
    return vantorel::pdh::runBrowseDialog(c, vantorel::pdh::defaultLibrary().enumeration());
}
