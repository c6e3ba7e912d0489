// The host stand-in: one object that holds everything the viewer would,
// and offers it to the plug-in through function tables.
//
// Exactly one Host is current at a time (the command line makes one; each
// test makes its own). The operations in the tables are plain functions, so
// they reach their state through `Host::current()`. Each subsystem keeps its
// state in a part of its own; the Host owns the parts.
#pragma once

#include <memory>

#include "plugin/host_services.h"

namespace host {

class AtomTable;
class CallLog;
class CallbackRegistry;
class CosObjects;
class Documents;
class ErrorState;
class Fonts;
class GlyphNames;
class Menus;
class PageContent;
class Pages;
class Streams;
class Viewer;
class Windows;
class TableRegistry;
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

    ErrorState& errors() { return *errors_; }
    AtomTable& atoms() { return *atoms_; }
    CallLog& calls() { return *calls_; }
    CallbackRegistry& callbacks() { return *callbacks_; }
    TableRegistry& tables() { return *tables_; }
    Documents& documents() { return *documents_; }
    CosObjects& cos() { return *cos_; }
    Streams& streams() { return *streams_; }
    Pages& pages() { return *pages_; }
    Fonts& fonts() { return *fonts_; }
    GlyphNames& glyphNames() { return *glyphNames_; }
    PageContent& content() { return *content_; }
    Viewer& viewer() { return *viewer_; }
    Menus& menus() { return *menus_; }
    Windows& windows() { return *windows_; }

    // The extension handle handed to the plug-in in its setup record.
    ExtensionHandle extension() const { return kExtension; }

private:
    static constexpr ExtensionHandle kExtension = 0x0E7E0001;

    std::unique_ptr<ErrorState> errors_;
    std::unique_ptr<AtomTable> atoms_;
    std::unique_ptr<CallLog> calls_;
    std::unique_ptr<CallbackRegistry> callbacks_;
    std::unique_ptr<TableRegistry> tables_;
    std::unique_ptr<Documents> documents_;
    std::unique_ptr<CosObjects> cos_;
    std::unique_ptr<Streams> streams_;
    std::unique_ptr<Pages> pages_;
    std::unique_ptr<Fonts> fonts_;
    std::unique_ptr<GlyphNames> glyphNames_;
    std::unique_ptr<PageContent> content_;
    std::unique_ptr<Viewer> viewer_;
    std::unique_ptr<Menus> menus_;
    std::unique_ptr<Windows> windows_;
};

}  // namespace host
