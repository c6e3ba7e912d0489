#include "report/report_state.h"

namespace ortheo {

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
