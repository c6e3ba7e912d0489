// Mends a damaged page tree before qpdf reads its pages, so that the
// document is read as viewers read it. qpdf refuses a tree in which one
// /Pages node is reached twice (a loop, or a node with two parents), and it
// makes a page of whatever else stands in /Kids by rewriting its /Type,
// which spoils a font or form that a damaged /Kids names. Such kids are
// taken out of their /Kids, with one warning line each; duplicate pages and
// untyped page dictionaries are left to qpdf, which reads them well.
#pragma once

#include <qpdf/QPDF.hh>

namespace host {

void mendPageTree(QPDF& pdf);

}  // namespace host
