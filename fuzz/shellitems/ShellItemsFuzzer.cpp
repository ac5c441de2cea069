// Reads arbitrary input as an internet shortcut or desktop.ini, as the shell reads them, and as
// a run of item identifiers of a favourites folder.
#include "platform/kernel/ProfileFile.h"
#include "platform/shell/ShellItemIds.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    win::profileString(input, u"InternetShortcut", u"URL");
    win::profileString(input, u"Channel", u"CDFURL");

    for (qsizetype at = 0; at + 2 <= input.size();) {
        const qsizetype count = quint8(input[at]) | qsizetype(quint8(input[at + 1])) << 8;
        if (count < 2)
            break;
        ShellItemIds::itemData(input.sliced(at, qMin(count, input.size() - at)));
        at += count;
    }
    ShellItemIds::toWindowsPath(input);
    return 0;
}
