#include "platform/registry/KeyValues.h"
#include "PrefixBuilder.h"
#include "platform/registry/RegHive.h"

#include <gtest/gtest.h>

namespace {

const QString Key = QStringLiteral("Software\\Navolis Test\\List");

QStringList storedNames(const PrefixBuilder &prefix, const QString &path)
{
    QStringList names;
    const auto hive = RegHive::parse(prefix.userReg());
    if (const RegHive::Key *key = hive->findKey(path.split('\\')))
        for (const RegHive::Value *value : key->values())
            names << value->name;
    return names;
}

} // namespace

// Every value goes, whatever its type or name; the key and what lies below it stay.
TEST(KeyValues, DeleteAllValuesTakesEveryValueAndNothingElse)
{
    PrefixBuilder prefix;
    prefix.value(Key, "b", "second");
    prefix.rawValue(Key, "a", 4, QByteArray("\1\0\0\0", 4));
    prefix.value(Key, "", "default");
    prefix.value(Key + "\\Below", "kept", "x");
    const QStringList stored = storedNames(prefix, Key);
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(ValueNamesOf("\\" + Key), stored);

    const ValueDeletion deletion = DeleteAllValues("\\" + Key);
    EXPECT_EQ(deletion.names, stored);
    EXPECT_TRUE(deletion.complete);
    EXPECT_TRUE(storedNames(prefix, Key).isEmpty());
    EXPECT_EQ(storedNames(prefix, Key + "\\Below"), QStringList{"kept"});
}

TEST(KeyValues, RefusedDeletionIsNotComplete)
{
    PrefixBuilder prefix;
    prefix.value(Key, "a", "first");
    prefix.holdServerLock();
    const ValueDeletion deletion = DeleteAllValues("\\" + Key);
    EXPECT_EQ(deletion.names, QStringList{"a"});
    EXPECT_FALSE(deletion.complete);
    EXPECT_EQ(storedNames(prefix, Key), QStringList{"a"});
}
