// Every library call of the exporter goes through here. The web server calls
// from several threads; the library runs calls on different queries side by
// side and serialises those on one query, and each scrape has a query of its
// own, so scrapes need no lock of ours.
#pragma once

#include <utility>

#include "platform/pdh/engine/library.h"

namespace vantorel::cli::serve {

class LibraryAccess {
public:
    explicit LibraryAccess(pdh::Library& library) : library_(library) {}

    template <typename Fn>
    decltype(auto) use(Fn&& fn) {
        return std::forward<Fn>(fn)(library_);
    }

private:
    pdh::Library& library_;
};

}  // namespace vantorel::cli::serve
