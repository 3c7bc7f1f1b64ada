#include <gtest/gtest.h>

#include <utility>

#include "base/RefPtr.h"

namespace {
// A record that counts its own deletion.
class Record : public TRefCounted {
public:
    explicit Record(int& deleted) : deleted_(deleted) {}

private:
    ~Record() override { ++deleted_; }
    int& deleted_;
};
}  // namespace

TEST(RefPtr, ARecordGoesExactlyWhenItsLastHolderLetsGo) {
    int deleted = 0;
    auto first = MakeRef<Record>(deleted);
    EXPECT_EQ(first->UseCount(), 1);
    {
        RefPtr<Record> copy = first;
        RefPtr<Record> moved = std::move(copy);  // a move is no new use
        EXPECT_FALSE(copy);
        RefPtr<Record> again(first.Get());  // a use taken through the plain pointer
        EXPECT_EQ(first->UseCount(), 3);
        RefPtr<Record>& same = first;
        first = same;
        EXPECT_EQ(first->UseCount(), 3);
    }
    EXPECT_EQ(first->UseCount(), 1);
    EXPECT_EQ(deleted, 0);

    auto second = MakeRef<Record>(deleted);
    first = second;  // the first record's last use
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(second->UseCount(), 2);
    second = RefPtr<Record>();
    EXPECT_EQ(deleted, 1);
    first = std::move(second);  // empty over the second record's last use
    EXPECT_EQ(deleted, 2);
    EXPECT_FALSE(first);
}
