// The diagnostic log: error lines on standard error, off unless switched on.
//
// A line reads "Error: ", the message, then " FILE(LINE)\n" when a file is
// given; without a file nothing follows the message, not even a line feed.
// Logging is switched on by the environment variable ORTHEO_LOG_ERRORS,
// read once when the library is loaded: 1, true, yes or on (in any case)
// switch it on; 0, false, no, off and an empty value leave it off, and any
// other value leaves it off with one warning line. Messages longer than 999
// characters are cut.
#pragma once

#include <cstdint>
#include <optional>

namespace ortheo {

constexpr std::uint32_t kLogErrors = 0x4;

// The source modules that log, as the log lines name them.
constexpr const char* kCommandModule = "f:\\pdf\\pdf\\src\\zelta\\convert";
constexpr const char* kCMapModule = "f:\\pdf\\pdf\\src\\tabulorum\\pdf\\pdf_cmap";

// What a value of ORTHEO_LOG_ERRORS says: on, off, or nothing usable.
std::optional<bool> logSwitch(const char* value);

// Answers 1 when a line was written, 0 when logging is off.
int LogError(const char* file, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

std::uint32_t logStatus();

// Replaces the option word; the plug-in itself never calls this.
void setLogOptionsForTesting(std::uint32_t options);
void resetLogStatusForTesting();

}  // namespace ortheo
