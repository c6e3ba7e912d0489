// Each subsystem of the host installs its operations into the tables.
#pragma once

namespace host {

class TableRegistry;

void installCosOperations(TableRegistry& tables);    // cos/: Cos
void installModelOperations(TableRegistry& tables);  // model/: documents, pages, outline
void installFontOperations(TableRegistry& tables);   // model/: fonts
void installGlyphOperations(TableRegistry& tables);  // model/: glyph names and translation
void installEditOperations(TableRegistry& tables);   // edit/: page content
void installViewOperations(TableRegistry& tables);   // view/: viewer and selection
void installCommandOperations(TableRegistry& tables);  // view/: menus, toolbar, tools, windows, permissions

}  // namespace host
