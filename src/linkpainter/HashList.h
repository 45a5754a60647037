// A fixed hash container of 256 buckets whose iteration order (buckets 0 to 255, each in
// insertion order) is part of what the user sees: it decides drawing order, which of two
// overlapping items is hit, and how nodes are numbered in link template files.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

class THashable {
public:
    virtual ~THashable() = default;
    // 0..255.
    [[nodiscard]] virtual int Hash() const = 0;
    // True when Other is the same item for lookups.
    [[nodiscard]] virtual bool IsEqual(const THashable& other) const = 0;
};

struct THashBucket {
    std::int32_t HashValue = 0;
    std::vector<THashable*> Items; // insertion order, no duplicates; not owned
};

// Owns its buckets, never the items.
class THashList {
public:
    THashList() = default;
    THashList(const THashList&) = delete;
    THashList& operator=(const THashList&) = delete;

    // Appends the item to the bucket of its hash unless that very object is there already.
    void Add(THashable* item);
    // Removes that very object; an emptied bucket is destroyed. Absent items are ignored.
    void Remove(THashable* item);
    // The first item of the probe's bucket whose IsEqual accepts the probe.
    [[nodiscard]] THashable* Find(const THashable& probe) const;

    // The list's one cursor: iterations must not nest, and the list must not change during
    // one (take a ToList snapshot to change it).
    THashable* First();
    THashable* Next();
    [[nodiscard]] std::vector<THashable*> ToList() const;

    [[nodiscard]] std::size_t Count() const;
    [[nodiscard]] const THashBucket* Bucket(int hash) const {
        return buckets_[static_cast<std::size_t>(hash)].get();
    }

private:
    std::array<std::unique_ptr<THashBucket>, 256> buckets_;
    std::int32_t curBucket_ = -1;
    std::int32_t curIndex_ = -1;
};

} // namespace kv
