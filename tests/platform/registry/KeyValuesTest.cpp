#include "platform/registry/KeyValues.h"
#include "PrefixBuilder.h"

#include <gtest/gtest.h>

namespace {

const QString Key = QStringLiteral("Software\\Navolis Test\\List");

} // namespace

// Every value goes, whatever its type or name; the key and what lies below it stay.
TEST(KeyValues, DeleteAllValuesTakesEveryValueAndNothingElse)
{
    PrefixBuilder prefix;
    prefix.value(Key, "b", "second");
    prefix.rawValue(Key, "a", 4, QByteArray("\1\0\0\0", 4));
    prefix.value(Key, "", "default");
    prefix.value(Key + "\\Below", "kept", "x");
    const QStringList stored = prefix.valueNames(Key);
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(ValueNamesOf("\\" + Key), stored);

    const ValueDeletion deletion = DeleteAllValues("\\" + Key);
    EXPECT_EQ(deletion.names, stored);
    EXPECT_TRUE(deletion.complete);
    EXPECT_TRUE(prefix.valueNames(Key).isEmpty());
    EXPECT_EQ(prefix.valueNames(Key + "\\Below"), QStringList{"kept"});
}

TEST(KeyValues, RefusedDeletionIsNotComplete)
{
    PrefixBuilder prefix;
    prefix.value(Key, "a", "first");
    prefix.holdServerLock();
    const ValueDeletion deletion = DeleteAllValues("\\" + Key);
    EXPECT_EQ(deletion.names, QStringList{"a"});
    EXPECT_FALSE(deletion.complete);
    EXPECT_EQ(prefix.valueNames(Key), QStringList{"a"});
}
