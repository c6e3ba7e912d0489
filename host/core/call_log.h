// The host's record of the calls it receives, and its fault injection.
//
// Recording is off unless a test or the command line switches it on; each
// record holds the table, the selector and the arguments as text (strings
// quoted, pointers as "ptr" or "null" (small values as numbers: client
// data), so records compare across runs).
// A fault armed for the Nth call of a table and selector makes that call
// raise an injected error before it does anything.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "plugin/host_services.h"

namespace host {

struct CallRecord {
    TableId table;
    std::uint32_t selector;
    std::vector<std::string> arguments;

    std::string toString() const;  // e.g. AcroView 90 ("ortheo", "ZORV:Ortheo", 0, ...)
};

std::string describeArgument(const char* text);
std::string describeArgument(const Object& object);
std::string describeArgument(const FixedRect& rect);

template <class T>
std::string describeArgument(const T& value) {
    if constexpr (std::is_pointer_v<T>) {
        // Client data is a pointer that often carries a small number: show it.
        const auto address = reinterpret_cast<std::uintptr_t>(value);
        if (address == 0) return "null";
        return address < 0x10000 ? std::to_string(address) : "ptr";
    } else if constexpr (std::is_integral_v<T>) {
        return std::to_string(static_cast<std::conditional_t<std::is_signed_v<T>, long long, unsigned long long>>(value));
    } else {
        return "?";
    }
}

class CallLog {
public:
    void setRecording(bool on) {
        recording_ = on;
        updateWatched();
    }
    bool recording() const { return recording_; }
    const std::vector<CallRecord>& records() const { return records_; }
    void clear() { records_.clear(); }

    // Tells `observer` of every call, before it runs (the command line shows
    // its progress this way).
    void setObserver(std::function<void(TableId, std::uint32_t)> observer) {
        observer_ = std::move(observer);
        updateWatched();
    }

    // Makes the `nth` call (1-based, counted from now) of the operation raise.
    void injectFault(TableId table, std::uint32_t selector, int nth);

    // Every call of the plug-in's passes here (twice more for its frames), so
    // a host that nobody watches answers at once.
    template <class... Args>
    void enter(TableId table, std::uint32_t selector, const Args&... arguments) {
        if (watched_) [[unlikely]] enterWatched(table, selector, arguments...);
    }

private:
    template <class... Args>
    void enterWatched(TableId table, std::uint32_t selector, const Args&... arguments) {
        if (observer_) observer_(table, selector);
        if (recording_) records_.push_back({table, selector, {describeArgument(arguments)...}});
        if (!faults_.empty()) checkFault(table, selector);
    }
    void checkFault(TableId table, std::uint32_t selector);
    void updateWatched() { watched_ = recording_ || observer_ || !faults_.empty(); }

    std::function<void(TableId, std::uint32_t)> observer_;
    bool recording_ = false;
    bool watched_ = false;
    std::vector<CallRecord> records_;
    std::map<std::pair<TableId, std::uint32_t>, int> faults_;  // calls left before the fault
};

}  // namespace host
