#include "hosts_change.h"

namespace hushgate {

HostsChangeOutcome DirectHostsChange::run(HostsEngine& engine, HostsVerb verb) {
    HostsChangeOutcome outcome;
    try {
        if (verb == HostsVerb::Block) {
            engine.Block();
        } else {
            engine.Unblock();
        }
    } catch (const HostsError& error) {
        outcome.result = HostsChangeOutcome::Result::Failed;
        outcome.error = error;
    }
    return outcome;
}

void DirectHostsChange::start(HostsVerb verb, Finished finished) {
    const HostsChangeOutcome outcome = run(engine_, verb);
    if (finished) {
        finished(outcome);
    }
}

}  // namespace hushgate
