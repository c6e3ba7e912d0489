#include "app/standard_error_route.h"

#include <cstdio>
#include <string_view>

#include "core/error_output.h"

namespace host {
namespace {

ssize_t passOn(void*, const char* text, std::size_t size) {
    writePluginText(std::string_view(text, size));
    return static_cast<ssize_t>(size);
}

}  // namespace

void routePluginStandardError() {
    const cookie_io_functions_t functions{nullptr, &passOn, nullptr, nullptr};
    std::FILE* routed = fopencookie(nullptr, "w", functions);
    if (routed == nullptr) return;
    std::setvbuf(routed, nullptr, _IONBF, 0);
    setErrorDestination(stderr);
    stderr = routed;
}

}  // namespace host
