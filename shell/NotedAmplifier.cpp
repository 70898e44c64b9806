#include "shell/NotedAmplifier.h"

NotedAmplifier::NotedAmplifier (const VantorelCom& linkToCheck, const AmplifierIdentity& identity)
    : link (linkToCheck), connection (link.getConnectionCount()),
      wasConnected (link.isSameConnection (connection)), reading (identity.getReading())
{
}

NotedAmplifier::Check NotedAmplifier::check (int family) const
{
    if (!link.isSameConnection (connection))
        return wasConnected || link.getLinkState() == BaseCom::connected ? Check::changed
                                                                         : Check::notConnected;

    return link.isFamily (family) ? Check::same : Check::otherFamily;
}
