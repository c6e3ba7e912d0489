#include "app/viewer_session.h"

#include "core/callbacks.h"
#include "core/plugin_calls.h"
#include "model/documents.h"
#include "view/viewer.h"

namespace host {

ViewerSession::ViewerSession(const std::string& pluginPath, const HostConfig& config)
    : library_(std::make_unique<PluginLibrary>(pluginPath)), host_(std::make_unique<Host>(config)) {
    load(library_->entry(), library_->module());
}

ViewerSession::ViewerSession(PlugInMainProc entry, const HostConfig& config) : host_(std::make_unique<Host>(config)) {
    load(entry, nullptr);
}

void ViewerSession::load(PlugInMainProc entry, void* module) {
    outcome_ = runHandshake(host_->core(), entry, module);
    if (!outcome_.loaded) throw PluginLoadError("the plug-in was not loaded: " + outcome_.refusal);
    if (!callPlugin(host_->callbacks().resolve<AnswerProc>(outcome_.init))) {
        throw PluginLoadError("the plug-in's initialisation failed");
    }
}

ViewerSession::~ViewerSession() {
    callPlugin(host_->callbacks().resolve<AnswerProc>(outcome_.unload));
    host_.reset();
}

Handle ViewerSession::open(const std::string& path, const std::string& password) {
    const Handle document = host_->documents().open(path, password);
    host_->viewer().openView(document);
    return document;
}

}  // namespace host
