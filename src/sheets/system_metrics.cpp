#include "sheets/system_metrics.h"

namespace plu {

const IKtSystemMetrics& DefaultSystemMetrics() {
    static const TKtDefaultSystemMetrics metrics;
    return metrics;
}

}  // namespace plu
