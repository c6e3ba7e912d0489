#include "model/documents.h"

#include <filesystem>

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>
#include <unistd.h>

#include "core/errors.h"
#include "cos/cos_objects.h"
#include "host.h"

namespace host {
namespace {

[[noreturn]] void raiseOpenFailure(const std::string& path, const QPDFExc& failure) {
    if (failure.getErrorCode() == qpdf_e_password) {
        raise(kErrBadPassword, path + ": the password is wrong or missing");
    }
    raise(kErrPdf, path + ": not a PDF file, or damaged beyond repair (" + failure.getMessageDetail() + ")");
}

}  // namespace

Handle Documents::open(const std::string& path, const std::string& password) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) raise(kErrFileOpen, path + ": no such file");

    auto pdf = std::make_shared<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        pdf->processFile(path.c_str(), password.empty() ? nullptr : password.c_str());
        pdf->getAllPages();  // a file whose page tree cannot be read is no use to anyone
    } catch (const QPDFExc& failure) {
        raiseOpenFailure(path, failure);
    } catch (const std::exception& failure) {
        raise(kErrPdf, path + ": " + failure.what());
    }
    return documents_.add({std::move(pdf), path});
}

Handle Documents::create() {
    auto pdf = std::make_shared<QPDF>();
    pdf->emptyPDF();
    return documents_.add({std::move(pdf), ""});
}

void Documents::save(Handle document, const std::string& path) {
    QPDF& pdf = *get(document).pdf;
    const std::string temporary = path + ".part-" + std::to_string(getpid());
    try {
        QPDFWriter writer(pdf, temporary.c_str());
        writer.setDeterministicID(true);
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
    } catch (const std::exception& failure) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        raise(kErrFileOpen, path + ": the document could not be written (" + failure.what() + ")");
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        std::filesystem::remove(temporary, renamed);
        raise(kErrFileOpen, path + ": the document could not be written");
    }
}

void Documents::close(Handle document) {
    documents_.remove(document);
    Host::current().cos().forgetDocument(document);
}

}  // namespace host
