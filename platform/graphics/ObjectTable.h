#pragma once
// Objects behind handles. A handle is a slot's index with the slot's generation, which grows each
// time the slot is reused: the handle of a freed object never finds an object made later. Each
// table puts its own tag in its handles, so that tables never share a handle (GetObjectType asks
// two). A lookup shares ownership: an object deleted by one thread lives on for another still
// using it. Handles are at least 2^32, never a small number that names something else (a colour
// index).

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

template <class T>
class ObjectTable {
public:
    explicit ObjectTable(std::uint8_t tag) : tag_(std::uintptr_t{tag} << kIndexBits) {}

    // The new object's handle; 0 when the table is full.
    std::uintptr_t Insert(std::shared_ptr<T> object) {
        std::lock_guard guard(lock_);
        std::uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() + 1 >= kMaxSlots) return 0;
            index = static_cast<std::uint32_t>(slots_.size());
            slots_.push_back(Slot{});
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        return (static_cast<std::uintptr_t>(slot.generation) << 32) | tag_ | (index + 1u);
    }

    std::shared_ptr<T> Find(std::uintptr_t handle) const {
        std::lock_guard guard(lock_);
        const Slot* slot = SlotOf(handle);
        return slot ? slot->object : nullptr;
    }

    // Takes the object out when `removable` agrees (called under the table's lock); null when
    // there is no such object or it may not go.
    template <class F>
    std::shared_ptr<T> Remove(std::uintptr_t handle, F&& removable) {
        std::lock_guard guard(lock_);
        Slot* slot = const_cast<Slot*>(SlotOf(handle));
        if (!slot || !removable(*slot->object)) return nullptr;
        std::shared_ptr<T> removed = std::move(slot->object);
        // A slot whose generation would wrap is retired instead of reused.
        if (++slot->generation != 0) free_.push_back(static_cast<std::uint32_t>(slot - slots_.data()));
        return removed;
    }

private:
    struct Slot {
        std::shared_ptr<T> object;
        std::uint32_t generation = 1;
    };

    static constexpr int kIndexBits = 24;
    static constexpr std::size_t kMaxSlots = std::size_t{1} << kIndexBits;

    const Slot* SlotOf(std::uintptr_t handle) const {
        if ((handle & 0xFF000000u) != tag_) return nullptr;
        const std::uintptr_t index = handle & (kMaxSlots - 1);
        if (index == 0 || index > slots_.size()) return nullptr;
        const Slot& slot = slots_[index - 1];
        return slot.object && slot.generation == (handle >> 32) ? &slot : nullptr;
    }

    const std::uintptr_t tag_;
    mutable std::mutex lock_;  // guards the slots
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
};
