#pragma once

#include <QString>

// The options that edit the list of sites whose cookies are kept, shared by every prefix. Each
// returns the exit status: 0 when the list says what was asked, also when it already did; 1 when
// the list cannot be read or saved (it then stays as it is). The host is one that
// CookieKeepList::site() takes.

// --keep-cookies-of HOST
int keepCookiesOf(const QString &host);
// --forget-cookies-of HOST
int forgetCookiesOf(const QString &host);
// --list-kept: the sites, one a line.
int listKeptSites();
