#pragma once
// Objects of one kind behind handles with a generation count. A handle packs the kind
// (2 bits, 1..3, so no handle is 0), the slot's generation (18 bits) and the slot index
// (12 bits). Removing an object bumps its slot's generation, so every handle to it is
// refused from then on, even after the slot holds a new object; a handle would only
// match again after 2^18 - 1 more reuses of the same slot.
//
// Not locked; the audio system changes its pools under its lock.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AudioRecords.h"

template <class T>
class AudioSlotPool {
public:
    static constexpr std::uint32_t kIndexBits = 12;
    static constexpr std::uint32_t kGenerationBits = 18;
    static constexpr std::uint32_t kCapacity = 1u << kIndexBits;

    explicit AudioSlotPool(std::uint32_t kind) : kindBits(kind << (kIndexBits + kGenerationBits)) {}

    static std::uint32_t kindOf(AudioHandle handle) { return handle >> (kIndexBits + kGenerationBits); }

    // Takes the object; returns its handle, 0 when every slot is taken.
    AudioHandle add(std::unique_ptr<T> object) {
        std::uint32_t index;
        if (!freeSlots.empty()) {
            index = freeSlots.back();
            freeSlots.pop_back();
        } else if (slots.size() < kCapacity) {
            index = static_cast<std::uint32_t>(slots.size());
            slots.push_back(Slot{});
        } else {
            return 0;
        }
        slots[index].object = std::move(object);
        ++count;
        return handleOf(index);
    }

    // The object, or null when the handle is not one of this pool's live objects.
    T* find(AudioHandle handle) const {
        const std::uint32_t index = handle & (kCapacity - 1);
        if ((handle & ~generationAndIndexMask()) != kindBits || index >= slots.size()) return nullptr;
        const Slot& slot = slots[index];
        return slot.object && handleOf(index) == handle ? slot.object.get() : nullptr;
    }

    // Gives the object back to the caller and retires the handle; null when not valid.
    std::unique_ptr<T> remove(AudioHandle handle) {
        if (!find(handle)) return nullptr;
        const std::uint32_t index = handle & (kCapacity - 1);
        Slot& slot = slots[index];
        std::unique_ptr<T> object = std::move(slot.object);
        slot.generation = slot.generation + 1 == (1u << kGenerationBits) ? 1 : slot.generation + 1;
        freeSlots.push_back(index);
        --count;
        return object;
    }

    // Calls f(handle, object) for every live object.
    template <class F>
    void forEach(F f) const {
        for (std::uint32_t i = 0; i < slots.size(); ++i)
            if (slots[i].object) f(handleOf(i), *slots[i].object);
    }

    std::size_t size() const { return count; }

private:
    struct Slot {
        std::unique_ptr<T> object;
        std::uint32_t generation = 1;
    };

    static constexpr std::uint32_t generationAndIndexMask() { return (1u << (kIndexBits + kGenerationBits)) - 1; }
    AudioHandle handleOf(std::uint32_t index) const {
        return kindBits | (slots[index].generation << kIndexBits) | index;
    }

    std::uint32_t kindBits;
    std::vector<Slot> slots;
    std::vector<std::uint32_t> freeSlots;
    std::size_t count = 0;
};
