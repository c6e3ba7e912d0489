#include "report/report_state.h"

#include <algorithm>

namespace ortheo {

std::int64_t Budget::take(std::int64_t wanted) {
    const std::int64_t taken = std::clamp<std::int64_t>(limit - used, 0, wanted);
    used += taken;
    leftOut += wanted - taken;
    return taken;
}

ReportState& reportState() {
    static ReportState state;
    return state;
}

CollectionState& collection() {
    static CollectionState state;
    return state;
}

PageState& pageState() {
    static PageState state;
    return state;
}

}  // namespace ortheo
