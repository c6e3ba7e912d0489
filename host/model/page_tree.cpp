#include "model/page_tree.h"

#include <set>
#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "core/warnings.h"

namespace host {
namespace {

std::string describe(QPDFObjectHandle object) {
    if (!object.isIndirect()) return "a direct object";
    return std::to_string(object.getObjectID()) + " " + std::to_string(object.getGeneration()) + " R";
}

// qpdf reads a kid that has /Kids as a node of the tree, any other as a page.
bool isNode(QPDFObjectHandle kid) { return kid.isDictionary() && kid.hasKey("/Kids"); }

// A kid that qpdf would make a page of although it is something else: no
// dictionary (a stream, a number), or a dictionary typed as another kind.
bool isNoPage(QPDFObjectHandle kid) {
    if (!kid.isDictionary()) return true;
    QPDFObjectHandle type = kid.getKey("/Type");
    return type.isName() && type.getName() != "/Page";
}

const std::string kTooDeep = "deeper than " + std::to_string(kDeepestPageTree) + " levels";

void warnSkipped(QPDFObjectHandle kid, QPDFObjectHandle node, const std::string& why) {
    warnOnce("skipped " + describe(kid) + " under /Kids of " + describe(node) + ": " + why);
}

// One node on the way down, with its kids as they were and as they stay.
struct Visit {
    QPDFObjectHandle node;
    std::vector<QPDFObjectHandle> kids;
    std::size_t next = 0;
    std::vector<QPDFObjectHandle> kept;
    bool mended = false;
};

Visit visitOf(QPDFObjectHandle node) {
    QPDFObjectHandle kids = node.getKey("/Kids");
    Visit visit;
    visit.node = node;
    if (kids.isArray()) visit.kids = kids.getArrayAsVector();
    return visit;
}

}  // namespace

// Walks the tree depth first, in the order qpdf reads it, without recursion:
// a hostile tree may be deep. Every node is entered once.
void mendPageTree(QPDF& pdf) {
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    if (!isNode(root)) return;
    std::set<QPDFObjGen> entered{root.getObjGen()};
    std::vector<Visit> path{visitOf(root)};
    while (!path.empty()) {
        Visit& visit = path.back();
        if (visit.next == visit.kids.size()) {
            if (visit.mended) visit.node.replaceKey("/Kids", QPDFObjectHandle::newArray(visit.kept));
            path.pop_back();
            continue;
        }
        QPDFObjectHandle kid = visit.kids[visit.next++];
        if (isNode(kid)) {
            if (!kid.isIndirect()) {  // a direct node has no identity to tell a second meeting by
                kid = pdf.makeIndirectObject(kid);
                visit.mended = true;
            }
            if (path.size() == kDeepestPageTree) {
                warnSkipped(kid, visit.node, kTooDeep);
                visit.mended = true;
                continue;
            }
            if (!entered.insert(kid.getObjGen()).second) {
                warnSkipped(kid, visit.node, "a page-tree node reached twice");
                visit.mended = true;
                continue;
            }
            visit.kept.push_back(kid);
            path.push_back(visitOf(kid));  // `visit` is not used past this point
        } else if (isNoPage(kid)) {
            warnSkipped(kid, visit.node, "not a page");
            visit.mended = true;
        } else {
            visit.kept.push_back(kid);
        }
    }
}

}  // namespace host
