#include "model/documents.h"

#include <array>
#include <memory>
#include <optional>
#include <string_view>

#include <qpdf/QPDFExc.hh>

#include "core/counted_noun.h"
#include "core/errors.h"
#include "core/warnings.h"
#include "model/document_source.h"
#include "model/document_writer.h"
#include "model/output_target.h"
#include "model/page_tree.h"
#include "model/trailer_recovery.h"

namespace host {
namespace {

// The /PageMode of each page mode number; 0 removes it.
constexpr std::array<std::string_view, 7> kPageModes{
    "", "/UseNone", "/UseThumbs", "/UseOutlines", "/FullScreen", "/UseOC", "/UseAttachments",
};

[[noreturn]] void raiseOpenFailure(const std::string& path, const QPDFExc& failure) {
    if (failure.getErrorCode() == qpdf_e_password) {
        raise(kErrBadPassword, path + ": the password is wrong or missing");
    }
    raise(kErrPdf, path + ": is damaged beyond repair (" + failure.getMessageDetail() + ")");
}

void readDocument(QPDF& pdf, const std::shared_ptr<InputSource>& source, const std::string& password) {
    pdf.setSuppressWarnings(true);
    pdf.processInputSource(source, password.empty() ? nullptr : password.c_str());
    mendPageTree(pdf);
    pdf.getAllPages();  // a file whose page tree cannot be read is no use to anyone
}

// How many pages were read, of how many the page tree announces.
std::string pagesRead(QPDF& pdf) {
    const std::size_t read = pdf.getAllPages().size();
    QPDFObjectHandle announced = pdf.getRoot().getKey("/Pages").getKey("/Count");
    if (!announced.isInteger() || announced.getIntValue() < 0) return countedNoun(read, "page") + " read";
    return std::to_string(read) + " of " + countedNoun(static_cast<std::size_t>(announced.getIntValue()), "page") +
           " read";
}

// A file qpdf refused, read as trailer_recovery.h mends it, with one warning.
std::shared_ptr<QPDF> readRecovered(const RecoveredFile& recovered, const std::string& password) {
    auto pdf = std::make_shared<QPDF>();
    readDocument(*pdf, recovered.source, password);
    warnOnce(recovered.cut ? recovered.problem + "; " + pagesRead(*pdf) : recovered.problem);
    return pdf;
}

}  // namespace

Handle Documents::open(const std::string& path, const std::string& password) {
    const std::shared_ptr<InputSource> source = openDocumentSource(path);
    auto pdf = std::make_shared<QPDF>();
    std::optional<std::uint32_t> declaredPermissions;
    try {
        try {
            readDocument(*pdf, source, password);
        } catch (const QPDFExc& failure) {
            const std::optional<RecoveredFile> recovered = recoverFile(*source, *pdf, failure);
            if (!recovered) throw;
            pdf = readRecovered(*recovered, password);
            declaredPermissions = recovered->permissions;
        }
    } catch (const QPDFExc& failure) {
        raiseOpenFailure(source->getName(), failure);
    } catch (const std::exception& failure) {
        raise(kErrPdf, source->getName() + ": " + failure.what());
    }
    return documents_.add({std::move(pdf), path, declaredPermissions});
}

Handle Documents::create() {
    auto pdf = std::make_shared<QPDF>();
    pdf->emptyPDF();
    return documents_.add({std::move(pdf), "", std::nullopt});
}

void Documents::save(Handle document, const std::string& path) { save(document, outputTargetAt(path)); }

void Documents::save(Handle document, const OutputTarget& target) {
    std::string file;
    try {
        file = writeDocument(*get(document).pdf, outline_.find(document));
    } catch (const std::exception& failure) {
        raise(kErrFileOpen, target.named + ": the document could not be written (" + failure.what() + ")");
    }
    writeOutput(target, file);
}

void Documents::setPageMode(Handle document, std::int32_t mode) {
    QPDFObjectHandle catalog = get(document).pdf->getRoot();
    if (mode < 0 || static_cast<std::size_t>(mode) >= kPageModes.size()) {
        raise(kErrBadArgument, "PDModel 77: " + std::to_string(mode) + " is not a page mode (0 to " +
                                   std::to_string(kPageModes.size() - 1) + ")");
    }
    const std::string_view name = kPageModes[static_cast<std::size_t>(mode)];
    if (name.empty()) {
        catalog.removeKey("/PageMode");
    } else {
        catalog.replaceKey("/PageMode", QPDFObjectHandle::newName(std::string(name)));
    }
}

void Documents::close(Handle document) {
    get(document);
    // What names the document's objects goes before the objects.
    for (DocumentUser* user : users_) user->forgetDocument(document);
    outline_.forgetDocument(document);
    documents_.remove(document);
}

}  // namespace host
