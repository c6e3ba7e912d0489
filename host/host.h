// The host stand-in: one object that holds everything the viewer would,
// and offers it to the plug-in through function tables.
//
// Exactly one Host is current at a time (the command line makes one; each
// test makes its own). The operations in the tables are plain functions, so
// they reach their state through `Host::current()`; nothing else does. Each
// subsystem keeps its state in a part of its own, which takes the parts it
// uses in its constructor; the Host makes the parts in that order, wires
// them and owns them (README.md says which folder may use which). Its core
// (atoms, callbacks, errors and frames, streams, the call log and the
// tables) is a `Core` of its own, which stands without qpdf and FreeType.
#pragma once

#include <memory>

#include "core/core.h"
#include "plugin/host_services.h"

namespace host {

class CosObjects;
class Documents;
class Fonts;
class GlyphNames;
class Menus;
class PageContent;
class Pages;
class Viewer;
class Windows;
struct TableOffer;

struct HostConfig;

class Host {
public:
    explicit Host(const HostConfig& config);
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The current host; aborts with a message when there is none.
    static Host& current();

    Core& core() { return core_; }
    ErrorState& errors() { return core_.errors(); }
    AtomTable& atoms() { return core_.atoms(); }
    CallLog& calls() { return core_.calls(); }
    CallbackRegistry& callbacks() { return core_.callbacks(); }
    TableRegistry& tables() { return core_.tables(); }
    Streams& streams() { return core_.streams(); }
    Documents& documents() { return *documents_; }
    CosObjects& cos() { return *cos_; }
    Pages& pages() { return *pages_; }
    Fonts& fonts() { return *fonts_; }
    GlyphNames& glyphNames() { return *glyphNames_; }
    PageContent& content() { return *content_; }
    Viewer& viewer() { return *viewer_; }
    Menus& menus() { return *menus_; }
    Windows& windows() { return *windows_; }

    // The extension handle handed to the plug-in in its setup record.
    ExtensionHandle extension() const { return core_.extension(); }

private:
    Core core_;
    std::unique_ptr<Documents> documents_;
    std::unique_ptr<CosObjects> cos_;
    std::unique_ptr<Pages> pages_;
    std::unique_ptr<Fonts> fonts_;
    std::unique_ptr<GlyphNames> glyphNames_;
    std::unique_ptr<PageContent> content_;
    std::unique_ptr<Viewer> viewer_;
    std::unique_ptr<Menus> menus_;
    std::unique_ptr<Windows> windows_;
};

}  // namespace host
