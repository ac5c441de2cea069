#include "browserdata/IEUtils.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace win;

namespace {

QByteArray bytes(LPCITEMIDLIST list)
{
    return QByteArray(reinterpret_cast<const char *>(list), ItemListSize(list));
}

LPITEMIDLIST make(const QByteArray &content)
{
    LPITEMIDLIST list = ItemListAlloc(int(content.size()));
    memcpy(bytesOf(list), content.constData(), size_t(content.size()));
    return list;
}

} // namespace

TEST(IEUtils, ItemListsAreJoinedClonedAndCutAsTheShellCountsThem)
{
    IMalloc *allocator = nullptr;
    ASSERT_EQ(SHGetMalloc(&allocator), S_OK);
    const long before = allocator->liveBlocks();
    {
        LPITEMIDLIST a = make(QByteArray("\x04\x00xy\x03\x00z\x00\x00", 9));
        LPITEMIDLIST b = make(QByteArray("\x05\x00uvw\x00\x00", 7));
        EXPECT_EQ(ItemListSize(nullptr), 0);
        EXPECT_EQ(ItemListSize(a), 9);
        EXPECT_EQ(bytesOf(ItemListNext(a)) - bytesOf(a), 4);

        LPITEMIDLIST joined = ItemListJoin(a, b);
        EXPECT_EQ(bytes(joined), QByteArray("\x04\x00xy\x03\x00z\x05\x00uvw\x00\x00", 14));
        LPITEMIDLIST alone = ItemListJoin(nullptr, b);
        EXPECT_EQ(bytes(alone), bytes(b));

        LPITEMIDLIST clone = ItemListClone(joined);
        ItemListRemoveLast(clone);
        EXPECT_EQ(bytes(clone), QByteArray("\x04\x00xy\x03\x00z\x00\x00", 9));
        ItemListRemoveLast(clone);
        ItemListRemoveLast(clone);
        ItemListRemoveLast(clone);
        EXPECT_EQ(ItemListSize(clone), 2) << "an empty list stays empty";

        for (LPITEMIDLIST list : {a, b, joined, alone, clone})
            ItemListFree(list);
        ItemListFree(nullptr);
    }
    EXPECT_EQ(allocator->liveBlocks(), before);
}
