// A place a later start handed over (--at or a geo: link) while this copy runs. Whoever reads
// the queue when it arrives takes it here; the shell opens the map there, and a view with its
// own loop first leaves with kViewCodeHandedOverPlace.
#include "core/command_line.h"
#include "platform/platform.h"

static struct {
    int waiting = 0;
    OpeningPlace place;
} handedOver;

int TakeHandedOverPlace() {
    for (std::string line = TakeInstanceMessage(); !line.empty(); line = TakeInstanceMessage()) {
        OpeningPlace place;
        if (!ParsePlaceMessage(line, &place)) continue;
        handedOver.place = place;  // a later line means a later start: it wins
        handedOver.waiting = 1;
    }
    return handedOver.waiting;
}

int HandedOverPlaceWaiting() { return handedOver.waiting; }

int TakeWaitingPlace(OpeningPlace* place) {
    if (!handedOver.waiting) return 0;
    *place = handedOver.place;
    handedOver.waiting = 0;
    return 1;
}
