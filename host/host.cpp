#include "host.h"

#include <cstdio>
#include <cstdlib>

#include "core/atoms.h"
#include "core/call_log.h"
#include "core/callbacks.h"
#include "core/errors.h"
#include "core/streams.h"
#include "core/tables.h"
#include "cos/cos_objects.h"
#include "host_config.h"
#include "edit/page_content.h"
#include "model/documents.h"
#include "model/fonts.h"
#include "model/glyph_names.h"
#include "model/pages.h"
#include "operations.h"
#include "view/menus.h"
#include "view/viewer.h"
#include "view/windows.h"

namespace host {
namespace {

Host* currentHost = nullptr;

}  // namespace

Host::Host() : Host(HostConfig{}) {}

Host::Host(const HostConfig& config)
    : core_(config.tables, config.recordCalls),
      documents_(std::make_unique<Documents>()),
      cos_(std::make_unique<CosObjects>(*documents_)),
      pages_(std::make_unique<Pages>(*documents_)),
      fonts_(std::make_unique<Fonts>(*documents_)),
      glyphNames_(std::make_unique<GlyphNames>()),
      content_(std::make_unique<PageContent>(*documents_, *pages_)),
      viewer_(std::make_unique<Viewer>(*documents_)),
      menus_(std::make_unique<Menus>(config.menus, core_.atoms(), core_.callbacks())),
      windows_(std::make_unique<Windows>(*documents_, *viewer_)) {
    // What names a document's objects goes before the objects.
    documents_->forgetOnClose(*pages_);
    documents_->forgetOnClose(*cos_);
    documents_->forgetOnClose(*fonts_);
    currentHost = this;
    TableRegistry& tables = core_.tables();
    installCosOperations(tables);
    installModelOperations(tables);
    installFontOperations(tables);
    installGlyphOperations(tables);
    installEditOperations(tables);
    installViewOperations(tables);
    installCommandOperations(tables);
}

Host::~Host() {
    // What names documents goes before the documents.
    windows_.reset();
    menus_.reset();
    viewer_.reset();
    content_.reset();
    glyphNames_.reset();
    fonts_.reset();
    pages_.reset();
    cos_.reset();
    documents_.reset();
    currentHost = nullptr;
}

Host& Host::current() {
    if (currentHost == nullptr) {
        std::fputs("ortheo: a host operation was called with no host present\n", stderr);
        std::abort();
    }
    return *currentHost;
}

}  // namespace host
