/* The host's function tables, handed out as the viewer hands them: a table
 * is the address of its first entry, one array per (table, version), each
 * long enough for the highest selector of its table. Entries this host does
 * not serve are null. `Win` is offered at 0x50001 only, so that the
 * plug-in finds it through its list of known versions. */
#include <string.h>

#include "conformance.h"

enum {
    kCoreLength = 11,
    kSupportLength = 104,
    kCosLength = 33,
    kModelLength = 309,
    kEditReadLength = 121,
    kEditWriteLength = 57,
    kPageContentLength = 4,
    kViewLength = 487,
    kUncalledLength = 1, /* the tables the plug-in needs but never calls */
};

static Proc coreAtSetup[kCoreLength], core[kCoreLength], support[kSupportLength], cos[kCosLength];
static Proc model[kModelLength], editRead[kEditReadLength], editWrite[kEditWriteLength];
static Proc pageContent[kPageContentLength], view[kViewLength];
static Proc sysFont[kUncalledLength], sWrite[kUncalledLength], sRead[kUncalledLength], win[kUncalledLength];
static Proc asExtra[kUncalledLength], sweetPea[kUncalledLength], colour[kUncalledLength];

typedef struct {
    const char *name;
    uint32_t version;
    Proc *entries;
    bool withheld;
} Offer;

static Offer offers[] = {
    {"Core", 0x20000, coreAtSetup, false},
    {"Core", 0x50000, core, false},
    {"AcroSupport", 0x60000, support, false},
    {"Cos", 0x60000, cos, false},
    {"PDModel", 0x60000, model, false},
    {"PDFEditWrite", 0x60000, editWrite, false},
    {"PDFEditRead", 0x60000, editRead, false},
    {"PDSysFont", 0x40000, sysFont, false},
    {"PagePDEContent", 0x60000, pageContent, false},
    {"AcroView", 0x60000, view, false},
    {"PDSWrite", 0x60000, sWrite, false},
    {"PDSRead", 0x60000, sRead, false},
    {"Win", 0x50001, win, false},
    {"ASExtra", 0x60000, asExtra, false},
    {"AcroViewSweetPea", 0x50000, sweetPea, false},
    {"AcroColorHFT", 0x60000, colour, false},
};
enum { kOfferCount = sizeof offers / sizeof offers[0] };

void installTables(void) {
    fillCore(coreAtSetup);
    fillCore(core);
    fillSupport(support);
    fillViewer(view);
    fillDocument(model, cos, editRead, editWrite, pageContent);
}

void offerAllTables(void) {
    for (size_t i = 0; i < kOfferCount; ++i) offers[i].withheld = false;
}

void withholdTable(const char *name) {
    for (size_t i = 0; i < kOfferCount; ++i) {
        if (strcmp(offers[i].name, name) == 0) offers[i].withheld = true;
    }
}

Proc *setupCoreTable(void) { return coreAtSetup; }

Proc *CDECL_PROC coreGetTable(Atom name, uint32_t version) {
    const char *text = atomText(name);
    if (text == NULL) {
        differ("Core 10 was given %#x, which is no atom of this host", name);
        return NULL;
    }
    Proc *found = NULL;
    for (size_t i = 0; i < kOfferCount; ++i) {
        const Offer *offer = &offers[i];
        if (!offer->withheld && offer->version == version && strcmp(offer->name, text) == 0) found = offer->entries;
    }
    logCall("Core 10 (\"%s\", %#x) -> %s", text, (unsigned)version, found != NULL ? "table" : "none");
    return found;
}

uint32_t CDECL_PROC supportTableVersion(Proc *table) {
    for (size_t i = 0; i < kOfferCount; ++i) {
        if (offers[i].entries == table) {
            logCall("AcroSupport 103 (%s at %#x)", offers[i].name, (unsigned)offers[i].version);
            return offers[i].version;
        }
    }
    differ("AcroSupport 103 was given %p, which is no table of this host", (void *)table);
    raiseError(1, "AcroSupport 103: not a table");
}
