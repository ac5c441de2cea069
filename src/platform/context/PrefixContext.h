#pragma once

#include "platform/prefix/Prefix.h"

#include <QString>

// One prefix that a clean-up works on, made once and handed to the cleaners: its root, its
// registry file and its cache containers (where its shell folders say). While a Use of it lives,
// the platform's calls on this thread serve it, as the Windows calls of a process serve the
// profile it runs under.
class PrefixContext
{
public:
    explicit PrefixContext(Prefix prefix);

    // The prefix the environment chooses where the program starts; the embedded default is
    // made there on first use. It becomes the target of every thread.
    static PrefixContext chooseAtStart();

    const Prefix &prefix() const { return m_prefix; }
    const QString &root() const { return m_prefix.root(); }

    class Use
    {
    public:
        explicit Use(const PrefixContext &context) : m_target(context.prefix()) {}

    private:
        Prefix::Use m_target;
    };

private:
    Prefix m_prefix;
};
