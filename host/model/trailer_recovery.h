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
//
// Two refusals of encrypted files are mended the same way, with a
// cross-reference section appended whose trailer is the file's own less
// /Encrypt, so that qpdf reads the file as not encrypted: an /Encrypt entry
// that is no dictionary, and a file that encrypts only its embedded files
// (its streams and strings are in the clear, /StmF and /StrF /Identity),
// which needs no password to read its pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <qpdf/QPDF.hh>

#include <qpdf/InputSource.hh>
#include <qpdf/QPDFExc.hh>

namespace host {

struct RecoveredFile {
    std::shared_ptr<InputSource> source;  // the file with what was appended
    std::string problem;                  // what was wrong, as a warning says it
    bool cut = false;                     // whether the file lost its end
    // The /P of a file read without the encryption of its embedded files:
    // what it permits still holds.
    std::optional<std::uint32_t> permissions;
};

// The file to read instead of `source`, which qpdf (`refused`) would not
// read for `failure`; none when it is none of the three cases, no catalog
// is found, or the file is larger than what is ever read into memory
// (2 GB).
std::optional<RecoveredFile> recoverFile(InputSource& source, QPDF& refused, const QPDFExc& failure);

}  // namespace host
