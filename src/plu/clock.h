// The computer's clock as clock pairing sees it: read the local date and
// time, and set it (which the platform may refuse, for want of rights; the
// refusal is not reported to the user).
#pragma once

#include "base/date_time.h"

namespace plu {

class IClock {
  public:
    virtual ~IClock() = default;
    virtual TDateTime Now() = 0;
    // False when the platform refused.
    virtual bool SetLocalTime(TDateTime when) = 0;
};

// The machine's own clock. Setting it needs the right to change the system
// time (CAP_SYS_TIME); without it the clock stays as it is.
class SystemClock : public IClock {
  public:
    TDateTime Now() override;
    bool SetLocalTime(TDateTime when) override;
};

}  // namespace plu
