#include "linkpainter/HashList.h"

#include <algorithm>

namespace kv {

namespace {

// Hashes are 0..255 by contract; the mask only keeps a faulty hash inside the bucket array.
std::size_t SlotOf(const THashable& item) {
    return static_cast<std::size_t>(static_cast<unsigned>(item.Hash()) & 0xFFu);
}

} // namespace

void THashList::Add(THashable* item) {
    if (item == nullptr) return;
    const std::size_t slot = SlotOf(*item);
    auto& bucket = buckets_[slot];
    if (!bucket) {
        auto created = std::make_unique<THashBucket>();
        created->HashValue = static_cast<std::int32_t>(slot);
        created->Items.push_back(item);
        bucket = std::move(created);
        return;
    }
    auto& items = bucket->Items;
    if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
}

void THashList::Remove(THashable* item) {
    if (item == nullptr) return;
    auto& bucket = buckets_[SlotOf(*item)];
    if (!bucket) return;
    auto& items = bucket->Items;
    const auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end()) return;
    items.erase(it);
    if (items.empty()) bucket.reset();
}

THashable* THashList::Find(const THashable& probe) const {
    const auto& bucket = buckets_[SlotOf(probe)];
    if (!bucket) return nullptr;
    for (THashable* item : bucket->Items) {
        if (item->IsEqual(probe)) return item;
    }
    return nullptr;
}

THashable* THashList::First() {
    curBucket_ = -1;
    curIndex_ = -1;
    return Next();
}

THashable* THashList::Next() {
    if (curBucket_ >= 0 && curBucket_ < static_cast<std::int32_t>(buckets_.size())) {
        const auto& bucket = buckets_[static_cast<std::size_t>(curBucket_)];
        const auto next = static_cast<std::size_t>(curIndex_ + 1);
        if (bucket && next < bucket->Items.size()) {
            ++curIndex_;
            return bucket->Items[next];
        }
    }
    for (auto b = static_cast<std::size_t>(curBucket_ + 1); b < buckets_.size(); ++b) {
        const auto& bucket = buckets_[b];
        if (bucket && !bucket->Items.empty()) {
            curBucket_ = static_cast<std::int32_t>(b);
            curIndex_ = 0;
            return bucket->Items.front();
        }
    }
    return nullptr; // the cursor stays on the last item
}

std::vector<THashable*> THashList::ToList() const {
    std::vector<THashable*> list;
    list.reserve(Count());
    for (const auto& bucket : buckets_) {
        if (bucket) list.insert(list.end(), bucket->Items.begin(), bucket->Items.end());
    }
    return list;
}

std::size_t THashList::Count() const {
    std::size_t count = 0;
    for (const auto& bucket : buckets_) {
        if (bucket) count += bucket->Items.size();
    }
    return count;
}

} // namespace kv
