// The bytes of a document to open, as qpdf reads them: a file, standard
// input ("-"), a FIFO or a device.
//
// A regular file of up to 256 MB is read whole, so that qpdf parses from
// memory; a larger one is read as needed. Standard input and anything else
// that is not a regular file can be read only once, from start to end: it is
// read to its end into memory, up to 2 GB.
//
// What a user can get wrong is told before qpdf sees a byte, naming the
// input once: it is a directory, it does not exist, it cannot be read (the
// system's reason, such as "permission denied"), it is empty, or its first
// 1,024 bytes hold no "%PDF-" header, which every PDF reader looks for
// there.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/InputSource.hh>

namespace host {

// The most that is read from standard input, a FIFO or a device.
constexpr std::size_t kLargestStreamedInput = std::size_t{2} << 30;

// How messages name the input: "standard input" for "-", else the path.
std::string inputName(const std::string& path);

// Raises HostError: kErrFileOpen when the input cannot be had, kErrPdf when
// it is empty or is no PDF.
std::shared_ptr<InputSource> openDocumentSource(const std::string& path);

// Reads what `descriptor` gives up to its end, appending it to `chunks`
// (each filled to 1 MB before the next begins, so that the bytes are never
// moved while they grow); answers 0, or the errno of a failed read. Stops
// once the chunks hold `limit` + 1 bytes, one more than allowed. Public for
// its tests.
int readToEnd(int descriptor, std::vector<std::string>& chunks, std::size_t limit);

}  // namespace host
