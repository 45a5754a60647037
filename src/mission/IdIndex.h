// A flat map from object or link IDs to a 32-bit value, for the many lookups of one operation:
// one open-addressed table instead of a node per entry. The first value added for an ID wins,
// as the first record of a chunk does.
#pragma once

#include <algorithm>
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

// The first value per ID of a set of records whose count and range are known beforehand: a
// flat array over the IDs' range when they are dense, as object IDs are, so that lookups in ID
// order stay in the cache; else a TIdIndex. IDs added lie in the range given.
class TFirstIndex {
public:
    void Reserve(std::size_t count, std::int32_t lo, std::int32_t hi) {
        const std::uint64_t range = std::uint64_t(std::int64_t{hi} - lo) + 1;
        if (count > 0 && range <= 4 * std::uint64_t{count} + 1024) {
            lo_ = lo;
            dense_.assign(static_cast<std::size_t>(range), TIdIndex::kNone);
        } else {
            hash_.Reserve(count);
        }
    }
    void TryAdd(std::int32_t id, std::uint32_t value) {
        if (dense_.empty()) {
            hash_.TryAdd(id, value);
            return;
        }
        std::uint32_t& slot = dense_[static_cast<std::size_t>(std::int64_t{id} - lo_)];
        if (slot == TIdIndex::kNone) slot = value;
    }
    // The value of ID, after adding it with Value when it had none.
    std::uint32_t FindOrAdd(std::int32_t id, std::uint32_t value) {
        if (dense_.empty()) return hash_.FindOrAdd(id, value);
        std::uint32_t& slot = dense_[static_cast<std::size_t>(std::int64_t{id} - lo_)];
        if (slot == TIdIndex::kNone) slot = value;
        return slot;
    }
    [[nodiscard]] std::uint32_t Find(std::int32_t id) const {
        if (dense_.empty()) return hash_.Find(id);
        const std::int64_t at = std::int64_t{id} - lo_;
        if (at < 0 || static_cast<std::uint64_t>(at) >= dense_.size()) return TIdIndex::kNone;
        return dense_[static_cast<std::size_t>(at)];
    }

private:
    std::int32_t lo_ = 0;
    std::vector<std::uint32_t> dense_;
    TIdIndex hash_;
};

// A fixed set of IDs: a bitmap over their range when that is at most 64 times their number, as
// it is for the objects of a mission, else a TIdIndex.
class TIdMembers {
public:
    explicit TIdMembers(const std::vector<std::int32_t>& ids) {
        if (ids.empty()) return;
        const auto [lo, hi] = std::minmax_element(ids.begin(), ids.end());
        const std::uint64_t range = std::uint64_t(std::int64_t{*hi} - *lo) + 1;
        if (range > 64 * std::uint64_t{ids.size()}) {
            hash_.Reserve(ids.size());
            for (const std::int32_t id : ids) hash_.TryAdd(id, 0);
            return;
        }
        lo_ = *lo;
        bits_.assign(static_cast<std::size_t>((range + 63) / 64), 0);
        for (const std::int32_t id : ids) {
            const auto at = static_cast<std::uint64_t>(std::int64_t{id} - lo_);
            bits_[at / 64] |= std::uint64_t{1} << (at % 64);
        }
    }

    [[nodiscard]] bool Contains(std::int32_t id) const {
        if (bits_.empty()) return hash_.Contains(id);
        const std::int64_t at = std::int64_t{id} - lo_;
        if (at < 0 || static_cast<std::uint64_t>(at) / 64 >= bits_.size()) return false;
        return (bits_[static_cast<std::size_t>(at / 64)] >> (at % 64) & 1) != 0;
    }

private:
    std::int32_t lo_ = 0;
    std::vector<std::uint64_t> bits_;
    TIdIndex hash_;
};

} // namespace kv
