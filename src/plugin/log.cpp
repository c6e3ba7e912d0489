#include "plugin/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ortheo {
namespace {

std::uint32_t optionsFromEnvironment() {
    const char* value = std::getenv("ORTHEO_LOG_ERRORS");
    return value != nullptr && std::strcmp(value, "1") == 0 ? kLogErrors : 0;
}

std::uint32_t logOptions = optionsFromEnvironment();
std::uint32_t logStatusWord = 0;

constexpr std::size_t kMessageCapacity = 1000;

}  // namespace

int LogError(const char* file, int line, const char* format, ...) {
    if ((logOptions & kLogErrors) == 0) return 0;

    char message[kMessageCapacity] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);

    std::fputs("Error: ", stderr);
    std::fwrite(message, 1, std::strlen(message), stderr);
    if (file != nullptr && file[0] != '\0') std::fprintf(stderr, " %s(%d)\n", file, line);
    std::fflush(stderr);

    logStatusWord |= kLogErrors;
    return 1;
}

std::uint32_t logStatus() { return logStatusWord; }

void setLogOptionsForTesting(std::uint32_t options) { logOptions = options; }

void resetLogStatusForTesting() { logStatusWord = 0; }

}  // namespace ortheo
