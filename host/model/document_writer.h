// Writing a host document as a PDF file.
//
// The writer walks the document from its trailer, so only what the
// catalog and the document information reach is written, and numbers the
// objects anew in the order it meets them. Streams without a filter are
// compressed with Flate; other streams keep their encoded bytes. All other
// objects go into compressed object streams of up to 100 objects each, and
// a cross-reference stream ends the file (PDF 1.5). The file identifier is
// the MD5 of what precedes it, so the same document gives the same bytes.
//
// Reports hold hundreds of thousands of small objects (outline items above
// all); writing them in one pass with one compression call per stream is
// what keeps saving a large report to a fraction of a second. The outline
// the host keeps for a document (outline.h) is written straight from its
// plain records, where the root's stand-ins lead to it.
#pragma once

#include <string>

#include <qpdf/QPDF.hh>

namespace host {

class DocumentOutline;

// The whole file. Throws std::exception when a stream's data cannot be read
// (a damaged source file, say), the catalog is missing or the document has
// no pages.
std::string writeDocument(QPDF& pdf, const DocumentOutline* outline = nullptr);

}  // namespace host
