// Errors of the data grid and the sheet control that carry the list-index
// texts of the runtime.
#pragma once

#include "base/exceptions.h"

namespace plu {

// An index outside a list: "List index out of bounds (%d)" for item lists,
// "%d is an invalid SheetIndex value.  PageIndex must be between 0 and %d"
// for moving a worksheet.
class EListError : public Exception {
  public:
    using Exception::Exception;
};

// "List index out of bounds (<index>)".
[[noreturn]] void ThrowListIndexError(int index);

}  // namespace plu
