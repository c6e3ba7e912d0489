// The host's function tables (Core 10, AcroSupport 103).
//
// Every table holds an entry for each operation of the shared list; an
// operation the host has no implementation for raises "not implemented".
// Each entry is a trampoline: it records the call, applies fault injection
// and runs the implementation. A failure inside (a host raise, or a failure
// of the machinery beneath: qpdf, FreeType, allocation) is caught there and
// recorded as the error in flight; once the implementation's objects are
// gone and no catch block is active, the entry point resumes the plug-in at
// its top frame. No C++ exception leaves an entry point.
//
// A table is handed out as the viewer hands it out: a plain array of entries,
// whose address is the table. Each (table, version) offered is an array of
// its own, so that a table pointer answers its own version through
// AcroSupport 103, and each is as long as the highest selector of its table
// in the operation list needs; a table with no operation of the list holds
// one null entry. Entries between the operations of the list are null.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <set>
#include <tuple>
#include <type_traits>
#include <vector>

#include "core/call_log.h"
#include "core/errors.h"
#include "core/core.h"
#include "plugin/host_services.h"

namespace host {

// Which versions of which tables the host offers.
struct TableOffer {
    std::map<TableId, std::set<std::uint32_t>> versions;

    // Every table at the version the plug-in asks for, and Core also at the
    // setup version.
    static TableOffer everything();
    void withhold(TableId table);                          // at no version
    void withhold(TableId table, std::uint32_t version);   // not at this one
};

namespace detail {

// Runs `body`; answers whether it succeeded. A failure is recorded as the
// error in flight, and everything the body made is gone when this returns.
template <class Body>
bool succeeded(Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (const HostError& failure) {
        Core::current().errors().record(failure.code(), failure.what());
    } catch (const std::bad_alloc&) {
        Core::current().errors().record(kErrNoMemory, errorCodeText(kErrNoMemory));
    } catch (const std::exception& failure) {
        Core::current().errors().record(kErrPdf, failure.what());
    } catch (...) {
        Core::current().errors().record(kErrGeneral, errorCodeText(kErrGeneral));
    }
    return false;
}

// Only values without destructors cross an entry point, so that nothing of
// the host's is left alive when the plug-in jumps back over it.
template <class T>
constexpr bool kPlainValue = std::is_trivially_destructible_v<T> && std::is_trivially_copyable_v<T>;

template <class Op, auto Impl, class Signature = typename Op::Type>
struct Trampoline;

template <class Op, auto Impl, class Result, class... Args>
struct Trampoline<Op, Impl, Result(Args...)> {
    static_assert((kPlainValue<Args> && ...), "an argument of an entry point must be a plain value");

    static Result call(Args... arguments) noexcept {
        if constexpr (std::is_void_v<Result>) {
            if (succeeded([&] { run(arguments...); })) return;
        } else {
            static_assert(kPlainValue<Result>, "the result of an entry point must be a plain value");
            Result result{};
            if (succeeded([&] { result = run(arguments...); })) return result;
        }
        Core::current().errors().resumePlugin();
    }

    static Result run(Args... arguments) {
        Core::current().calls().enter(Op::table, Op::selector, arguments...);
        return Impl(arguments...);
    }
};

// The implementation of every operation this host does not offer.
template <class Op, class Signature = typename Op::Type>
struct NotImplemented;

template <class Op, class Result, class... Args>
struct NotImplemented<Op, Result(Args...)> {
    [[noreturn]] static Result raiseNotImplemented(Args...) {
        raise(kErrNotImplemented, std::string(tableName(Op::table)) + " " + std::to_string(Op::selector) +
                                      " is not implemented by this host");
    }
};

}  // namespace detail

class TableRegistry {
public:
    explicit TableRegistry(TableOffer offer);

    // Installs the implementation of an operation; its type must be exactly
    // the operation's signature.
    template <class Op, auto Impl>
    void install() {
        static_assert(std::is_same_v<decltype(Impl), typename Op::Type*>,
                      "the implementation does not have the operation's signature");
        setEntry(Op::table, Op::selector, reinterpret_cast<Proc>(&detail::Trampoline<Op, Impl>::call));
    }

    // The table offered under this name and version, or null.
    HostTable find(TableId table, std::uint32_t version);
    // The version of a table pointer that this registry handed out; raises
    // for any other pointer.
    std::uint32_t versionOf(HostTable table) const;

    // The Core table handed over in the setup record.
    HostTable setupCoreTable();

    // Which table (and version) the host last handed out under each name.
    const std::map<TableId, std::uint32_t>& handedOut() const { return handedOut_; }

private:
    // Sets an entry of the table, and of every array of it handed out.
    void setEntry(TableId table, std::uint32_t selector, Proc proc);
    template <class... Ops>
    void fillNotImplemented(std::tuple<Ops...>*) {
        (setEntry(Ops::table, Ops::selector,
                  reinterpret_cast<Proc>(
                      &detail::Trampoline<Ops, &detail::NotImplemented<Ops>::raiseNotImplemented>::call)),
         ...);
    }
    HostTable instance(TableId table, std::uint32_t version);

    TableOffer offer_;
    // Every operation's entry, by table; each array handed out is a copy.
    std::array<std::vector<Proc>, kTableCount> entries_;
    std::map<std::pair<TableId, std::uint32_t>, std::vector<Proc>> instances_;
    std::map<HostTable, std::uint32_t> versions_;
    std::map<TableId, std::uint32_t> handedOut_;
};

}  // namespace host
