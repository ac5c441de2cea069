// Parses arbitrary input as a Wine hive. Whatever parses must write back byte for byte, and
// after a change it must parse again to the same tree.
#include "platform/kernel/WinTypes.h"
#include "platform/registry/RegHive.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>

namespace {

void dump(const RegHive::Key *key, QByteArray &out)
{
    out += "[" + key->name().toUtf8() + "]\n";
    for (const RegHive::Value *value : key->values())
        out += value->name().toUtf8() + '=' + QByteArray::number(value->type) + ':' +
               value->data().toHex() + '\n';
    for (const RegHive::Key *sub : key->subkeys())
        dump(sub, out);
    out += "<\n";
}

QByteArray tree(const RegHive &hive)
{
    QByteArray out;
    dump(hive.root(), out);
    return out;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

// Hives are big, their structures small: inputs beyond 8 KB add time, not cases.
constexpr size_t maxInput = 8192;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > maxInput)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto hive = RegHive::parse(input);
    if (hive->isDamaged())
        return 0;
    check(hive->serialize() == input);

    // Change something in the first key with values, or add a key, and read the result back.
    const RegHive::Key *key = hive->root();
    for (const RegHive::Key *sub : key->subkeys()) {
        key = sub;
        break;
    }
    const quint64 now = 0x1dd8730f9328184ULL;
    hive->setValue(key, QString::fromUtf8("n\xc3\xa4me \"q\""), win::REG_SZ,
                   QByteArray("x\0\\\0\0\0", 6), now);
    if (!key->values().empty())
        hive->deleteValue(key, key->values().front()->name(), now);
    hive->createKey({"New[1]", "Sub"}, now);
    const auto reread = RegHive::parse(hive->serialize());
    check(!reread->isDamaged());
    check(tree(*reread) == tree(*hive));
    return 0;
}
