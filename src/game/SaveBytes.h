#pragma once
// A little-endian, bounds-checked view over a run of saved-game bytes that belong to
// someone else (a profile's block). Reading past the end gives 0 and writing past it
// does nothing: a block may come from a damaged file, and neither case may touch memory
// outside it. The views of the saved-game layout (SavedGame, PlayerSaveBlock,
// PalmSaveRecord) are built on it.
//
// Not owning: the bytes must outlive the view.
#include <cstddef>
#include <cstdint>

class SaveBytes {
public:
    SaveBytes() = default;
    SaveBytes(std::uint8_t* bytes, std::size_t size) : data(bytes), length(size) {}

    // The `size` bytes at `offset` as a view of their own; cut short at the end.
    SaveBytes sub(std::size_t offset, std::size_t size) const;
    bool contains(std::size_t offset, std::size_t count) const;
    std::size_t size() const { return length; }

    std::uint8_t getU8(std::size_t offset) const;
    std::uint32_t getU32(std::size_t offset) const;
    std::int32_t getS32(std::size_t offset) const { return static_cast<std::int32_t>(getU32(offset)); }
    float getF32(std::size_t offset) const;
    double getF64(std::size_t offset) const;

    void putU8(std::size_t offset, std::uint8_t value) const;
    void putU32(std::size_t offset, std::uint32_t value) const;
    void putS32(std::size_t offset, std::int32_t value) const { putU32(offset, static_cast<std::uint32_t>(value)); }
    void putF32(std::size_t offset, float value) const;
    void putF64(std::size_t offset, double value) const;

private:
    std::uint64_t getLE(std::size_t offset, std::size_t count) const;
    void putLE(std::size_t offset, std::size_t count, std::uint64_t value) const;

    std::uint8_t* data = nullptr;
    std::size_t length = 0;
};
