#pragma once

#include <functional>

namespace vcl_detail {

// Runs an event handler. Qt lets no exception cross its event loop, so one that
// escapes a handler is reported here and the program goes on.
void dispatch(const std::function<void()>& handler);

}  // namespace vcl_detail
