// Owners for what the report obtains from the host, so that each is handed
// back exactly once on every path: page-content objects (elements, fonts,
// colour spaces: PDFEditRead 52), acquired pages (PDModel 138), a page's
// content object (PagePDEContent 2) and callbacks (Core 9).
//
// `release()` hands the object back now and lets a host error through; a
// destructor hands back what is still held and, since it may run while an
// error unwinds, drops any error of its own.
#pragma once

#include <utility>

#include "plugin/host_services.h"

namespace ortheo {

template <class Release>
class HostOwned {
public:
    HostOwned() = default;
    explicit HostOwned(host::Handle handle) : handle_(handle) {}
    HostOwned(HostOwned&& other) noexcept : handle_(std::exchange(other.handle_, host::kNoHandle)) {}
    // Hands back what is held, then takes the other's.
    HostOwned& operator=(HostOwned&& other) {
        if (this != &other) {
            release();
            handle_ = std::exchange(other.handle_, host::kNoHandle);
        }
        return *this;
    }
    ~HostOwned() {
        try {
            release();
        } catch (...) {
        }
    }

    host::Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != host::kNoHandle; }

    void release() {
        if (handle_ != host::kNoHandle) Release::release(std::exchange(handle_, host::kNoHandle));
    }

    // Gives up ownership without handing the object back.
    host::Handle take() { return std::exchange(handle_, host::kNoHandle); }

private:
    host::Handle handle_ = host::kNoHandle;
};

struct ReleasePageObject {
    static void release(host::Handle object);
};
struct ReleasePage {
    static void release(host::Handle page);
};
struct ReleasePageContent {
    static void release(host::Handle page);
};
struct DestroyCallback {
    static void release(host::Handle callback);
};

using PageObject = HostOwned<ReleasePageObject>;
using AcquiredPage = HostOwned<ReleasePage>;
using PageContentHeld = HostOwned<ReleasePageContent>;  // holds the page whose content is acquired
using OwnedCallback = HostOwned<DestroyCallback>;

}  // namespace ortheo
