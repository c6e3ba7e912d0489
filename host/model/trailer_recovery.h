// Recovery of a file that lost its end (an interrupted download, a full
// disk): its cross-reference data and its trailer are gone. qpdf rebuilds
// the cross-reference table of a damaged file by scanning it for objects,
// but still refuses one in which it finds no trailer dictionary, for the
// trailer names the catalog.
//
// The recovery finds the catalog itself and gives qpdf the file again with
// a cross-reference stream appended that names it:
//
// - qpdf's own recovery scans the file for objects ("N G obj"), given a
//   stand-in trailer to get past its refusal;
// - the object streams among them that still decode, through the host's
//   decoding limits and from the last one back, give the objects they hold,
//   which that scan does not see: since PDF 1.5 most files keep their
//   catalog in one;
// - the catalog is the last object, in the order of the file, whose
//   dictionary has /Type /Catalog;
// - the appended stream lists the objects of both kinds, the later of two
//   with one number winning, as in a file updated in place. Should an offset
//   be wrong after all, qpdf rebuilds the table as for any damaged file and
//   keeps the objects of object streams.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include <qpdf/InputSource.hh>
#include <qpdf/QPDFExc.hh>

namespace host {

struct RecoveredFile {
    std::shared_ptr<InputSource> source;  // the file with the appended cross-reference stream
    std::size_t cutAt = 0;                // the size of the file as it was found
};

// Whether qpdf refused a file for want of a trailer dictionary.
bool lacksTrailer(const QPDFExc& failure);

// The file to read instead of `source`; none when no catalog is found, or
// the file is larger than what is ever read into memory (2 GB).
std::optional<RecoveredFile> recoverTrailer(InputSource& source);

}  // namespace host
