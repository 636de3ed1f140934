// Handles as (slot, generation) pairs: a freed slot is reused with the next
// generation, so a stale handle never reaches the object that took its place,
// and the table grows only to the most handles alive at once.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vantorel::pdh {

template <typename Target>
class GenerationTable {
public:
    // Layout of a handle: generation (28 bits) | slot + 1 (32 bits) | tag (4 bits).
    static constexpr std::uintptr_t kTagBits = 4;
    static constexpr std::uintptr_t kTag = 0x5;  // no handle looks like an aligned pointer
    static constexpr std::uintptr_t kSlotBits = 32;
    static constexpr std::uintptr_t kGenerationMask = (std::uintptr_t{1} << 28) - 1;
    static_assert(sizeof(std::uintptr_t) >= 8, "handles pack a slot and a generation into a pointer");

    void* insert(Target target) {
        std::uint32_t slot = 0;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            slot = static_cast<std::uint32_t>(entries_.size());
            entries_.push_back(Entry{});
        }
        Entry& e = entries_[slot];
        e.target = std::move(target);
        e.live = true;
        return reinterpret_cast<void*>((static_cast<std::uintptr_t>(e.generation) << (kSlotBits + kTagBits)) |
                                       ((std::uintptr_t{slot} + 1) << kTagBits) | kTag);
    }

    // Null for null, foreign, freed or stale handles.
    Target* find(const void* handle) {
        const std::optional<std::uint32_t> slot = slotOf(handle);
        return slot ? &entries_[*slot].target : nullptr;
    }

    bool erase(const void* handle) {
        const std::optional<std::uint32_t> slot = slotOf(handle);
        if (!slot) return false;
        Entry& e = entries_[*slot];
        e.target = Target{};
        e.live = false;
        e.generation = (e.generation + 1) & kGenerationMask;
        free_.push_back(*slot);
        return true;
    }

    std::size_t capacity() const { return entries_.size(); }

private:
    struct Entry {
        Target target{};
        std::uint32_t generation = 0;
        bool live = false;
    };

    std::optional<std::uint32_t> slotOf(const void* handle) const {
        const auto value = reinterpret_cast<std::uintptr_t>(handle);
        if ((value & ((std::uintptr_t{1} << kTagBits) - 1)) != kTag) return std::nullopt;
        const std::uintptr_t slotPlusOne = (value >> kTagBits) & ((std::uintptr_t{1} << kSlotBits) - 1);
        const std::uintptr_t generation = value >> (kSlotBits + kTagBits);
        if (slotPlusOne == 0 || slotPlusOne > entries_.size()) return std::nullopt;
        const auto slot = static_cast<std::uint32_t>(slotPlusOne - 1);
        const Entry& e = entries_[slot];
        if (!e.live || e.generation != generation) return std::nullopt;
        return slot;
    }

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> free_;
};

}  // namespace vantorel::pdh
