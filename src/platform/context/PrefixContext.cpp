#include "platform/context/PrefixContext.h"

#include "platform/context/DefaultPrefix.h"

PrefixContext::PrefixContext(Prefix prefix) : m_prefix(std::move(prefix)) {}

PrefixContext PrefixContext::chooseAtStart()
{
    const Prefix chosen(Prefix::resolveRoot());
    if (chosen.root() == Prefix::embeddedDefaultRoot())
        DefaultPrefix::ensure(chosen.root(), DefaultPrefix::loginName());
    Prefix::setChosen(chosen);
    return PrefixContext(chosen);
}
