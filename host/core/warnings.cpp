#include "core/warnings.h"

#include <set>

#include "core/error_output.h"

namespace host {

void warnOnce(const std::string& text) {
    static std::set<std::string> written;
    if (!written.insert(text).second) return;
    writeHostLines("ortheo: warning: " + text + "\n");
}

}  // namespace host
