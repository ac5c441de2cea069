#include "app/KeepListOptions.h"

#include "privacy/CookieKeepList.h"

#include <cstdio>

namespace {

// Nothing was changed, and why.
int failed(CookieKeepList::Edit edit)
{
    const QString why = edit == CookieKeepList::Edit::NotUsable
                            ? CookieKeepList::load().problem()
                            : QStringLiteral("the list of cookies to keep (%1) could not be saved")
                                  .arg(CookieKeepList::path());
    std::fprintf(stderr, "navolis: %s; nothing was changed\n", qPrintable(why));
    return 1;
}

} // namespace

int keepCookiesOf(const QString &host)
{
    const QString site = CookieKeepList::site(host);
    switch (const CookieKeepList::Edit edit = CookieKeepList::add(site)) {
    case CookieKeepList::Edit::Changed:
        std::printf("The cookies of %s and of the hosts below it are kept from now on (%s).\n",
                    qPrintable(site), qPrintable(CookieKeepList::path()));
        return 0;
    case CookieKeepList::Edit::Unchanged:
        std::printf("%s is already on the list of cookies to keep.\n", qPrintable(site));
        return 0;
    default:
        return failed(edit);
    }
}

// A site above the host may still keep its cookies: that is said, and stays.
int forgetCookiesOf(const QString &host)
{
    const QString site = CookieKeepList::site(host);
    const CookieKeepList::Edit edit = CookieKeepList::remove({site});
    if (edit != CookieKeepList::Edit::Changed && edit != CookieKeepList::Edit::Unchanged)
        return failed(edit);
    std::printf("%s %s on the list of cookies to keep", qPrintable(site),
                edit == CookieKeepList::Edit::Changed ? "is no longer" : "was not");
    const QStringList still = CookieKeepList::load().sitesKeeping(site);
    if (still.isEmpty())
        std::printf(".\n");
    else
        std::printf("; its cookies stay kept through %s.\n",
                    qPrintable(still.join(QStringLiteral(", "))));
    return 0;
}

int listKeptSites()
{
    const CookieKeepList list = CookieKeepList::load();
    if (!list.usable()) {
        std::fprintf(stderr, "navolis: %s\n", qPrintable(list.problem()));
        return 1;
    }
    for (const QString &site : list.sites())
        std::printf("%s\n", qPrintable(site));
    return 0;
}
