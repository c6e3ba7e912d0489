// The host's function tables (Core 10, AcroSupport 103).
//
// Every table holds an entry for each operation of the shared list; an
// operation the host has no implementation for raises "not implemented".
// Each entry is a trampoline that records the call, applies fault injection,
// runs the implementation, and turns a failure of the PDF machinery beneath
// (qpdf, FreeType, allocation) into a host raise. The same entries are
// offered under each version the host is configured to offer; a table
// pointer answers its own version through AcroSupport 103.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <tuple>
#include <type_traits>
#include <vector>

#include "core/call_log.h"
#include "core/errors.h"
#include "host.h"
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

// Runs `body` as the host runs every operation: machinery failures become
// host raises; host raises and the plug-in's own unwinding pass through.
template <class Body>
decltype(auto) guarded(Body&& body) {
    try {
        return body();
    } catch (const HostError&) {
        throw;
    } catch (const std::bad_alloc&) {
        raise(kErrNoMemory, errorCodeText(kErrNoMemory));
    } catch (const std::exception& failure) {
        raise(kErrPdf, failure.what());
    }
}

template <class Op, auto Impl, class Signature = typename Op::Type>
struct Trampoline;

template <class Op, auto Impl, class Result, class... Args>
struct Trampoline<Op, Impl, Result(Args...)> {
    static Result call(Args... arguments) {
        Host::current().calls().enter(Op::table, Op::selector, arguments...);
        return guarded([&]() -> Result { return Impl(arguments...); });
    }
};

template <class Op, class Signature = typename Op::Type>
struct NotImplemented;

template <class Op, class Result, class... Args>
struct NotImplemented<Op, Result(Args...)> {
    static Result call(Args... arguments) {
        Host& current = Host::current();
        current.calls().enter(Op::table, Op::selector, arguments...);
        raise(kErrNotImplemented, std::string(tableName(Op::table)) + " " +
                                                       std::to_string(Op::selector) +
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
        entry<Op>() = reinterpret_cast<Proc>(&detail::Trampoline<Op, Impl>::call);
    }

    // The table offered under this name and version, or null.
    HostTable* find(TableId table, std::uint32_t version);
    // The version of a table pointer that this registry handed out; raises
    // for any other pointer.
    std::uint32_t versionOf(const HostTable* table) const;

    // The Core table handed over in the setup record.
    HostTable* setupCoreTable();

    // Which table (and version) the host last handed out under each name.
    const std::map<TableId, std::uint32_t>& handedOut() const { return handedOut_; }

private:
    static constexpr std::uint32_t kMaxSelector = 512;

    template <class Op>
    Proc& entry() {
        static_assert(Op::selector < kMaxSelector);
        return entries_[static_cast<std::size_t>(Op::table)][Op::selector];
    }
    template <class... Ops>
    void fillNotImplemented(std::tuple<Ops...>*) {
        ((entry<Ops>() = reinterpret_cast<Proc>(&detail::NotImplemented<Ops>::call)), ...);
    }
    HostTable* instance(TableId table, std::uint32_t version);

    TableOffer offer_;
    std::array<std::vector<Proc>, kTableCount> entries_;
    std::map<std::pair<TableId, std::uint32_t>, std::unique_ptr<HostTable>> instances_;
    std::map<const HostTable*, std::uint32_t> versions_;
    std::map<TableId, std::uint32_t> handedOut_;
};

}  // namespace host
