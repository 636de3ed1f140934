// The browse call: checks the caller's settings, runs the dialog and hands back
// the one chosen path.
#pragma once

#include "pdh/pdh.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {

// Returns 0 with the chosen path, zero-terminated, in config->szReturnPathBuffer;
// PDH_DIALOG_CANCELLED when the dialog closed without a choice (nothing written);
// PDH_INVALID_ARGUMENT for settings it cannot honour (see checkBrowseConfig) or when
// called without a QApplication or off its thread (no window shows then).
//
// The dialog disables no other window: it is shown non-modally and this call runs
// its own event loop until it closes, so the caller's timers and windows keep
// working and another browse may run nested inside it. With pCallBack set, it is
// called once after the path is written and its status stored in CallBackStatus.
PDH_STATUS runBrowseDialog(PDH_BROWSE_DLG_CONFIG_A* config, const Enumeration& source);

}  // namespace vantorel::pdh
