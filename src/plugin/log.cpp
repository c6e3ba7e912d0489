#include "plugin/log.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace ortheo {
namespace {

bool equalIgnoringCase(const char* text, const char* word) {
    for (; *text != '\0' && *word != '\0'; ++text, ++word) {
        if (std::tolower(static_cast<unsigned char>(*text)) != *word) return false;
    }
    return *text == *word;
}

bool isOneOf(const char* value, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (equalIgnoringCase(value, word)) return true;
    }
    return false;
}

// The longest part of an unusable value that the warning repeats.
constexpr int kValueShown = 64;

std::uint32_t optionsFromEnvironment() {
    const char* value = std::getenv("ORTHEO_LOG_ERRORS");
    if (value == nullptr) return 0;
    if (const std::optional<bool> on = logSwitch(value)) return *on ? kLogErrors : 0;
    std::fprintf(stderr,
                 "ortheo: warning: ORTHEO_LOG_ERRORS=%.*s is neither on (1, true, yes, on) nor off (0, false, no, "
                 "off, empty); the log stays off\n",
                 kValueShown, value);
    std::fflush(stderr);
    return 0;
}

std::uint32_t logOptions = optionsFromEnvironment();
std::uint32_t logStatusWord = 0;

constexpr std::size_t kMessageCapacity = 1000;

}  // namespace

std::optional<bool> logSwitch(const char* value) {
    if (isOneOf(value, {"1", "true", "yes", "on"})) return true;
    if (isOneOf(value, {"", "0", "false", "no", "off"})) return false;
    return std::nullopt;
}

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
