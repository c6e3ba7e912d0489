// Mends a damaged page tree before qpdf reads its pages, so that the
// document is read as viewers read it. qpdf refuses a tree in which one
// /Pages node is reached twice (a loop, or a node with two parents), it
// makes a page of whatever else stands in /Kids by rewriting its /Type,
// which spoils a font or form that a damaged /Kids names, and it reads the
// tree recursively, so that a tree deep enough overflows the stack. Such
// kids are taken out of their /Kids, with one warning line each; duplicate
// pages and untyped page dictionaries are left to qpdf, which reads them
// well.
#pragma once

#include <cstddef>

#include <qpdf/QPDF.hh>

namespace host {

// No real page tree is more than a dozen levels deep; nodes deeper than
// this are left out, and a page's climb through /Parent stops here.
constexpr std::size_t kDeepestPageTree = 256;

void mendPageTree(QPDF& pdf);

}  // namespace host
