// A flat map from object or link IDs to a 32-bit value, for the many lookups of one operation:
// one open-addressed table instead of a node per entry. The first value added for an ID wins,
// as the first record of a chunk does.
#pragma once

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace kv {

class TIdIndex {
public:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    TIdIndex() = default;
    explicit TIdIndex(std::size_t expected) { Reserve(expected); }

    void Reserve(std::size_t expected) {
        std::size_t capacity = 16;
        while (capacity < expected * 2) capacity *= 2;
        if (capacity > slots_.size()) Rehash(capacity);
    }

    // Adds ID with Value unless the ID is already present; true when added. Value is not kNone.
    bool TryAdd(std::int32_t id, std::uint32_t value) {
        if ((size_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
        std::size_t i = Home(id);
        while (slots_[i].second != kNone) {
            if (slots_[i].first == id) return false;
            i = (i + 1) & mask_;
        }
        slots_[i] = {id, value};
        ++size_;
        return true;
    }

    // The value of ID, after adding it with Value when it had none. Value is not kNone.
    std::uint32_t FindOrAdd(std::int32_t id, std::uint32_t value) {
        if ((size_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
        std::size_t i = Home(id);
        while (slots_[i].second != kNone) {
            if (slots_[i].first == id) return slots_[i].second;
            i = (i + 1) & mask_;
        }
        slots_[i] = {id, value};
        ++size_;
        return value;
    }

    // The value of ID, kNone when it has none.
    [[nodiscard]] std::uint32_t Find(std::int32_t id) const {
        if (size_ == 0) return kNone;
        std::size_t i = Home(id);
        while (slots_[i].second != kNone) {
            if (slots_[i].first == id) return slots_[i].second;
            i = (i + 1) & mask_;
        }
        return kNone;
    }

    [[nodiscard]] bool Contains(std::int32_t id) const { return Find(id) != kNone; }
    [[nodiscard]] std::size_t Size() const { return size_; }

private:
    [[nodiscard]] std::size_t Home(std::int32_t id) const {
        const std::uint64_t h =
            std::uint64_t{static_cast<std::uint32_t>(id)} * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h >> 32) & mask_;
    }

    void Rehash(std::size_t capacity) {
        std::vector<std::pair<std::int32_t, std::uint32_t>> old(capacity, {0, kNone});
        old.swap(slots_);
        mask_ = capacity - 1;
        size_ = 0;
        for (const auto& [id, value] : old) {
            if (value != kNone) TryAdd(id, value);
        }
    }

    std::vector<std::pair<std::int32_t, std::uint32_t>> slots_;
    std::size_t mask_ = 0;
    std::size_t size_ = 0;
};

} // namespace kv
