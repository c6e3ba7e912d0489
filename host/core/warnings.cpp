#include "core/warnings.h"

#include <cstdio>
#include <set>

namespace host {

void warnOnce(const std::string& text) {
    static std::set<std::string> written;
    if (!written.insert(text).second) return;
    const std::string line = "ortheo: warning: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace host
