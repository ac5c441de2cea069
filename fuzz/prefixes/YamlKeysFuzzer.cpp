// Reads arbitrary input for the launchers' keys. A value found is found again, the same, when
// it is written back in double quotes at the top level and inside a section.
#include "prefixes/YamlKeys.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray doubleQuoted(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\' + QByteArray(1, c);
        else if (uchar(c) < 0x20)
            out += "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out + '"';
}

void checkWrittenBack(const QString &value)
{
    const QByteArray text =
        "Name: " + doubleQuoted(value) + "\ngame:\n  prefix: " + doubleQuoted(value) + "\n";
    check(prefixes::yaml::topLevelValue(text, u"Name") == value);
    check(prefixes::yaml::sectionValue(text, u"game", u"prefix") == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(data, qsizetype(size));
    if (const auto name = prefixes::yaml::topLevelValue(input, u"Name"))
        checkWrittenBack(*name);
    if (const auto prefix = prefixes::yaml::sectionValue(input, u"game", u"prefix"))
        checkWrittenBack(*prefix);
    return 0;
}
