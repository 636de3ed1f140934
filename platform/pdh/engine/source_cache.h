// The kernel sources of one query (or one listing): each is read at most once per
// collect, on the first use by a provider that needs it, and keeps its own state
// (kept descriptors, what it saw last) between collects.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh {

// Where the kernel's trees are: "<proc>proc/stat", "<sys>sys/block". Each root
// ends in '/'.
struct Roots {
    std::string proc = "/";
    std::string sys = "/";
    static std::string normalise(std::string root);
};

// A source type S offers `using Value`, a constructor from Roots and
// `const Value* load(SourceCache&)` (null when it cannot be read). A source that
// must know in advance what to read also offers `void resetPlan()`.
class SourceCache {
public:
    SourceCache(const Roots& roots, SystemReader& reader);
    ~SourceCache();
    SourceCache(const SourceCache&) = delete;
    SourceCache& operator=(const SourceCache&) = delete;

    // A new collect: every source may be read once more.
    void beginCollect(double now);
    // The counters changed: sources forget what they were asked to read.
    void beginPlan();

    // The state of source S, made on first use.
    template <class S>
    S& source() {
        return holder<S>().state;
    }
    // S's value for this collect, read on the first call of the collect.
    template <class S>
    const typename S::Value* get() {
        Holder<S>& h = holder<S>();
        if (h.generation != generation_) {
            h.value = h.state.load(*this);
            h.generation = generation_;
        }
        return static_cast<const typename S::Value*>(h.value);
    }

    const Roots& roots() const { return roots_; }
    SystemReader& reader() { return reader_; }
    double now() const { return now_; }
    // Scratch space shared by every read of a collect.
    std::string& buffer() { return buffer_; }
    std::vector<std::string>& listing() { return listing_; }

private:
    struct Entry {
        virtual ~Entry() = default;
        virtual void resetPlan() = 0;
        std::uint64_t generation = 0;
        const void* value = nullptr;
    };
    template <class S>
    struct Holder final : Entry {
        explicit Holder(const Roots& roots) : state(roots) {}
        void resetPlan() override {
            if constexpr (requires { state.resetPlan(); }) state.resetPlan();
        }
        S state;
    };

    static std::size_t nextIndex();
    template <class S>
    static std::size_t indexOf() {
        static const std::size_t index = nextIndex();
        return index;
    }
    template <class S>
    Holder<S>& holder() {
        const std::size_t index = indexOf<S>();
        if (index >= entries_.size()) entries_.resize(index + 1);
        if (entries_[index] == nullptr) entries_[index] = std::make_unique<Holder<S>>(roots_);
        return static_cast<Holder<S>&>(*entries_[index]);
    }

    Roots roots_;
    SystemReader& reader_;
    std::uint64_t generation_ = 1;
    double now_ = 0.0;
    std::string buffer_;
    std::vector<std::string> listing_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace vantorel::pdh
