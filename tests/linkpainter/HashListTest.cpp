// The 256-bucket hash list: iteration order, lookups through IsEqual, buckets that come and go.
#include "linkpainter/HashList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

// An item with a chosen hash that is equal to any item with the same hash and key.
class TKeyed : public THashable {
public:
    TKeyed(int hash, std::string key) : hash_(hash), key_(std::move(key)) {}
    [[nodiscard]] int Hash() const override { return hash_; }
    [[nodiscard]] bool IsEqual(const THashable& other) const override {
        const auto* keyed = dynamic_cast<const TKeyed*>(&other);
        return keyed != nullptr && keyed->key_ == key_;
    }
    [[nodiscard]] const std::string& Key() const { return key_; }

private:
    int hash_;
    std::string key_;
};

std::vector<std::string> KeysOf(const std::vector<THashable*>& items) {
    std::vector<std::string> keys;
    for (const THashable* item : items) keys.push_back(static_cast<const TKeyed*>(item)->Key());
    return keys;
}

std::vector<std::string> IteratedKeys(THashList& list) {
    std::vector<THashable*> items;
    for (THashable* item = list.First(); item != nullptr; item = list.Next()) items.push_back(item);
    return KeysOf(items);
}

using Keys = std::vector<std::string>;

TEST(HashListTest, IteratesBucketsInAscendingOrderAndEachBucketInInsertionOrder) {
    TKeyed a(200, "a"), b(3, "b"), c(200, "c"), d(0, "d"), e(255, "e"), f(3, "f");
    THashList list;
    for (TKeyed* item : {&a, &b, &c, &d, &e, &f}) list.Add(item);

    EXPECT_EQ(IteratedKeys(list), (Keys{"d", "b", "f", "a", "c", "e"}));
    EXPECT_EQ(KeysOf(list.ToList()), (Keys{"d", "b", "f", "a", "c", "e"}));
    EXPECT_EQ(list.Count(), 6u);
}

TEST(HashListTest, EmptyListIteratesNothing) {
    THashList list;
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_TRUE(list.ToList().empty());
    EXPECT_EQ(list.Count(), 0u);
}

TEST(HashListTest, NextAfterTheEndKeepsReturningNothing) {
    TKeyed a(7, "a"), b(9, "b");
    THashList list;
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.Next(), &b);
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_EQ(list.Next(), nullptr);

    // The cursor stayed on the last item, so an item added behind it comes next.
    TKeyed c(9, "c");
    list.Add(&c);
    EXPECT_EQ(list.Next(), &c);
}

TEST(HashListTest, FirstRestartsTheIteration) {
    TKeyed a(1, "a"), b(2, "b");
    THashList list;
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.Next(), &b);
}

TEST(HashListTest, AddingTheSameObjectTwiceKeepsOneEntry) {
    TKeyed a(5, "a");
    THashList list;
    list.Add(&a);
    list.Add(&a);
    EXPECT_EQ(list.Count(), 1u);
}

TEST(HashListTest, EqualButDistinctObjectsAreBothKept) {
    TKeyed a(5, "same"), b(5, "same");
    THashList list;
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Find(TKeyed(5, "same")), &a);
}

TEST(HashListTest, BucketIsCreatedWithItsHashValueByTheFirstItem) {
    TKeyed a(42, "a");
    THashList list;
    EXPECT_EQ(list.Bucket(42), nullptr);
    list.Add(&a);
    ASSERT_NE(list.Bucket(42), nullptr);
    EXPECT_EQ(list.Bucket(42)->HashValue, 42);
    EXPECT_EQ(list.Bucket(42)->Items, (std::vector<THashable*>{&a}));
}

TEST(HashListTest, RemovingTheLastItemOfABucketDestroysItAndIterationSkipsIt) {
    TKeyed a(1, "a"), b(2, "b"), c(2, "c"), d(3, "d");
    THashList list;
    for (TKeyed* item : {&a, &b, &c, &d}) list.Add(item);

    list.Remove(&b);
    ASSERT_NE(list.Bucket(2), nullptr);
    list.Remove(&c);
    EXPECT_EQ(list.Bucket(2), nullptr);
    EXPECT_EQ(IteratedKeys(list), (Keys{"a", "d"}));
    EXPECT_EQ(list.Find(TKeyed(2, "b")), nullptr);
}

TEST(HashListTest, RemovingAnAbsentItemChangesNothing) {
    TKeyed a(1, "a"), twin(1, "a"), elsewhere(8, "x");
    THashList list;
    list.Add(&a);
    list.Remove(&twin); // equal, but not that very object
    list.Remove(&elsewhere);
    EXPECT_EQ(IteratedKeys(list), (Keys{"a"}));
}

TEST(HashListTest, FindLooksOnlyInTheProbesBucket) {
    TKeyed a(10, "a");
    THashList list;
    list.Add(&a);
    EXPECT_EQ(list.Find(TKeyed(10, "a")), &a);
    EXPECT_EQ(list.Find(TKeyed(11, "a")), nullptr); // equal key, other bucket
    EXPECT_EQ(list.Find(TKeyed(10, "b")), nullptr);
    EXPECT_EQ(list.Find(TKeyed(99, "a")), nullptr); // no bucket at all
}

TEST(HashListTest, FindAsksTheStoredItemWhetherItEqualsTheProbe) {
    // A stored item that accepts every probe of its bucket, and a probe that accepts nothing.
    class TGreedy : public THashable {
    public:
        [[nodiscard]] int Hash() const override { return 4; }
        [[nodiscard]] bool IsEqual(const THashable&) const override { return true; }
    };
    class TShy : public THashable {
    public:
        [[nodiscard]] int Hash() const override { return 4; }
        [[nodiscard]] bool IsEqual(const THashable&) const override { return false; }
    };
    TGreedy greedy;
    THashList list;
    list.Add(&greedy);
    EXPECT_EQ(list.Find(TShy()), &greedy);
}

TEST(HashListTest, ToListIsASnapshotThatSurvivesChanges) {
    TKeyed a(1, "a"), b(2, "b");
    THashList list;
    list.Add(&a);
    list.Add(&b);
    const std::vector<THashable*> snapshot = list.ToList();
    for (THashable* item : snapshot) list.Remove(item);
    EXPECT_EQ(KeysOf(snapshot), (Keys{"a", "b"}));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.First(), nullptr);
}

} // namespace
} // namespace kv
