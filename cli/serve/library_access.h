// Every library call of the exporter goes through here. The web server calls
// from several threads; until the library serialises calls on one query itself,
// one lock of ours keeps them one at a time. Dropping the lock later is a change
// to this file alone.
#pragma once

#include <mutex>
#include <utility>

#include "platform/pdh/engine/library.h"

namespace vantorel::cli::serve {

class LibraryAccess {
public:
    explicit LibraryAccess(pdh::Library& library) : library_(library) {}

    template <typename Fn>
    decltype(auto) use(Fn&& fn) {
        const std::lock_guard lock(mutex_);
        return std::forward<Fn>(fn)(library_);
    }

private:
    pdh::Library& library_;
    std::mutex mutex_;
};

}  // namespace vantorel::cli::serve
