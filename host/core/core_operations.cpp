#include "core/core.h"

#include "core/atoms.h"
#include "core/callbacks.h"
#include "core/errors.h"
#include "core/streams.h"
#include "core/tables.h"
#include "core/core.h"

namespace host {
namespace {

void pushFrame(FrameRecord* record, RestoreProc restore) { Core::current().errors().pushFrame(record, restore); }

void popFrame() { Core::current().errors().popFrame(); }

ErrorCode errorCodeInFlight() { return Core::current().errors().inFlight(); }

Atom atomFromString(const char* text) {
    if (text == nullptr) raise(kErrBadArgument, "Core 5: no text");
    return Core::current().atoms().intern(text);
}

const char* stringFromAtom(Atom atom) { return Core::current().atoms().text(atom); }

Callback newCallback(ExtensionHandle extension, Proc proc) {
    return Core::current().callbacks().make(extension, proc);
}

void destroyCallback(Callback callback) { Core::current().callbacks().destroy(callback); }

// Looks a table up by name and version; an unknown name gives no table.
HostTable getTable(Atom name, std::uint32_t version) {
    const std::string_view wanted = Core::current().atoms().text(name);
    for (const TableRequest& request : kTableRequests) {
        if (wanted == request.name) return Core::current().tables().find(request.id, version);
    }
    return nullptr;
}

char* errorText(ErrorCode code, char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) raise(kErrBadArgument, "AcroSupport 4: no buffer");
    Core::current().errors().describe(code, buffer, size);
    return buffer;
}

std::int32_t streamRead(void* destination, std::int32_t itemSize, std::int32_t itemCount, Handle stream) {
    return Core::current().streams().read(destination, itemSize, itemCount, stream);
}

std::int32_t streamClose(Handle stream) {
    Core::current().streams().close(stream);
    return 0;
}

std::uint32_t tableVersion(HostTable table) { return Core::current().tables().versionOf(table); }

}  // namespace

void installCoreOperations(TableRegistry& tables) {
    tables.install<op::PushFrame, &pushFrame>();
    tables.install<op::PopFrame, &popFrame>();
    tables.install<op::ErrorCodeInFlight, &errorCodeInFlight>();
    tables.install<op::AtomFromString, &atomFromString>();
    tables.install<op::StringFromAtom, &stringFromAtom>();
    tables.install<op::NewCallback, &newCallback>();
    tables.install<op::DestroyCallback, &destroyCallback>();
    tables.install<op::GetTable, &getTable>();
    tables.install<op::ErrorText, &errorText>();
    tables.install<op::StreamRead, &streamRead>();
    tables.install<op::StreamClose, &streamClose>();
    tables.install<op::TableVersion, &tableVersion>();
}

}  // namespace host
