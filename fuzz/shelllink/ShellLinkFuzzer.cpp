// Parses arbitrary input as a shell link. Whatever parses must write back and read again to
// the same properties, and its ID list must decode without fault.
#include "platform/shell/ShellItemIds.h"
#include "platform/shell/ShellLinkFormat.h"

#include <QByteArray>

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto link = ShellLinkFormat::parse(input);
    if (!link)
        return 0;
    ShellItemIds::toWindowsPath(link->idList);

    const auto again = ShellLinkFormat::parse(ShellLinkFormat::serialize(*link));
    check(again.has_value());
    check(again->linkInfoPath == link->linkInfoPath);
    check(again->idList == link->idList);
    check(again->name == link->name && again->relativePath == link->relativePath &&
          again->workingDir == link->workingDir && again->arguments == link->arguments &&
          again->iconLocation == link->iconLocation);
    check(again->iconIndex == link->iconIndex && again->showCommand == link->showCommand &&
          again->hotKey == link->hotKey && again->fileAttributes == link->fileAttributes);
    return 0;
}
