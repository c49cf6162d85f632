#include "plu/transfers.h"

namespace plu {

PluTransfers::PluTransfers(LinkEngine& engine, IPluHost& host)
    : engine_(engine),
      download_(engine.State(), host),
      upload_(engine.State(), host),
      pairing_(engine.State(), host) {
    engine_.SetReplyHandler(this);
}

PluTransfers::~PluTransfers() {
    engine_.SetReplyHandler(nullptr);
}

}  // namespace plu
