#include "sheets/sheet_errors.h"

#include <string>

namespace plu {

void ThrowListIndexError(int index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace plu
