#include "core/handles.h"

#include <cstdio>

#include "core/errors.h"

namespace host {

const char* handleKindName(HandleKind kind) {
    switch (kind) {
        case HandleKind::Callback: return "callback";
        case HandleKind::Document: return "document";
        case HandleKind::Page: return "page";
        case HandleKind::Stream: return "stream";
        case HandleKind::CosObject: return "Cos object";
        case HandleKind::View: return "document view";
        case HandleKind::Menu: return "menu";
        case HandleKind::MenuItem: return "menu item";
        case HandleKind::ToolBar: return "toolbar";
        case HandleKind::Button: return "toolbar button";
        case HandleKind::Font: return "font";
        case HandleKind::PageFont: return "page-content font";
        case HandleKind::Element: return "page-content element";
        case HandleKind::ColorSpace: return "colour space";
        case HandleKind::Content: return "page content";
        case HandleKind::Selection: return "selection";
        case HandleKind::Bookmark: return "bookmark";
        case HandleKind::Destination: return "destination";
        case HandleKind::Action: return "action";
    }
    return "handle";
}

void raiseBadHandle(HandleKind kind, Handle handle, const char* problem) {
    char text[160];
    std::snprintf(text, sizeof text, "Expected a %s, got %s %#x", handleKindName(kind), problem, handle);
    raise(kErrBadHandle, text);
}

}  // namespace host
