#include "core/call_log.h"

#include <cstdio>

#include "core/errors.h"
#include "core/core.h"

namespace host {

std::string CallRecord::toString() const {
    std::string text = std::string(tableName(table)) + " " + std::to_string(selector) + " (";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ", ";
        text += arguments[i];
    }
    return text + ")";
}

std::string describeArgument(const char* text) {
    return text == nullptr ? "null" : "\"" + std::string(text) + "\"";
}

std::string describeArgument(const Object& object) {
    char text[32];
    std::snprintf(text, sizeof text, "{%#x, %#x}", object.word0, object.word1);
    return text;
}

std::string describeArgument(const FixedRect& rect) {
    char text[64];
    std::snprintf(text, sizeof text, "[%d %d %d %d]", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

void CallLog::injectFault(TableId table, std::uint32_t selector, int nth) {
    faults_[{table, selector}] = nth;
    updateWatched();
}

void CallLog::checkFault(TableId table, std::uint32_t selector) {
    const auto armed = faults_.find({table, selector});
    if (armed == faults_.end()) return;
    if (--armed->second > 0) return;
    faults_.erase(armed);
    updateWatched();
    raise(kErrInjected, "Injected fault in " + std::string(tableName(table)) +
                                                     " " + std::to_string(selector));
}

}  // namespace host
