// The file writer: what a reader finds in the written file is what the
// document held, value for value, and nothing the document no longer uses.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "model/document_writer.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::runCommand;
using testing::temporaryPath;

std::string written(QPDF& pdf, const std::string& name) {
    const std::string path = temporaryPath(name);
    std::ofstream(path, std::ios::binary) << host::writeDocument(pdf);
    return path;
}

std::string decoded(QPDFObjectHandle stream) {
    const std::shared_ptr<Buffer> data = stream.getStreamData(qpdf_dl_generalized);
    return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
}

// Compares two objects of two documents, following references in pairs.
// A stream's /Length and /Filter belong to its encoding, not its value.
class SameValue {
public:
    ::testing::AssertionResult operator()(QPDFObjectHandle original, QPDFObjectHandle copy,
                                          const std::string& where) {
        if (original.isIndirect() != copy.isIndirect()) {
            return ::testing::AssertionFailure() << where << ": indirect in one file only";
        }
        if (original.isIndirect() && !seen_.insert({original.getObjGen(), copy.getObjGen()}).second) {
            return ::testing::AssertionSuccess();
        }
        if (original.getTypeCode() != copy.getTypeCode()) {
            return ::testing::AssertionFailure() << where << ": " << original.getTypeName() << " became "
                                                 << copy.getTypeName();
        }
        if (original.isStream()) {
            if (decoded(original) != decoded(copy)) return ::testing::AssertionFailure() << where << ": stream data";
            return sameEntries(original.getDict(), copy.getDict(), where, {"/Length", "/Filter", "/DecodeParms"});
        }
        if (original.isDictionary()) return sameEntries(original, copy, where, {});
        if (original.isArray()) {
            if (original.getArrayNItems() != copy.getArrayNItems()) {
                return ::testing::AssertionFailure() << where << ": array size";
            }
            for (int i = 0; i < original.getArrayNItems(); ++i) {
                const std::string item = where + "[" + std::to_string(i) + "]";
                auto same = (*this)(original.getArrayItem(i), copy.getArrayItem(i), item);
                if (!same) return same;
            }
            return ::testing::AssertionSuccess();
        }
        if (original.isString() ? original.getStringValue() != copy.getStringValue()
                                : original.unparseResolved() != copy.unparseResolved()) {
            return ::testing::AssertionFailure() << where << ": " << original.unparse() << " became " << copy.unparse();
        }
        return ::testing::AssertionSuccess();
    }

private:
    ::testing::AssertionResult sameEntries(QPDFObjectHandle original, QPDFObjectHandle copy, const std::string& where,
                                           const std::set<std::string>& ignored) {
        for (const std::string& key : original.getKeys()) {
            if (ignored.count(key) != 0) continue;
            if (!copy.hasKey(key)) return ::testing::AssertionFailure() << where << ": " << key << " is missing";
            auto same = (*this)(original.getKey(key), copy.getKey(key), where + key);
            if (!same) return same;
        }
        for (const std::string& key : copy.getKeys()) {
            if (ignored.count(key) == 0 && !original.hasKey(key)) {
                return ::testing::AssertionFailure() << where << ": " << key << " was added";
            }
        }
        return ::testing::AssertionSuccess();
    }

    std::set<std::pair<QPDFObjGen, QPDFObjGen>> seen_;
};

// A document with what a file writer can get wrong: names and strings that
// need escapes, numbers of all kinds, shared and cyclic references, null
// entries, streams with and without filters, and enough objects for several
// object streams; and one blank page, without which no reader takes a PDF.
void fillTestDocument(QPDF& pdf) {
    pdf.emptyPDF();
    QPDFPageDocumentHelper(pdf).addPage(
        QPDFPageObjectHelper(pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"))),
        false);
    QPDFObjectHandle test = QPDFObjectHandle::parse(R"(<<
        /Names [ /A#20B /x#23y /#E9t#C3#A9 /Paren#28 /Plain ]
        /Strings [ (a\(b\)c\\d) <00FF0D0A> <FEFF03A9> () ]
        /Numbers [ 0 -17 1099511627776 3.25 -0.5 .125 true false null ]
        /Nested << /Deeper [ [ 1 [ 2 ] ] << /Empty << >> >> ] >>
        /Gone null
    >>)");
    QPDFObjectHandle first = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Name (first) >>"));
    QPDFObjectHandle second = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Name (second) >>"));
    first.replaceKey("/Other", second);
    second.replaceKey("/Other", first);  // a cycle
    test.replaceKey("/Cycle", first);
    test.replaceKey("/SameTwice", QPDFObjectHandle::parse("[ ]"));
    test.getKey("/SameTwice").appendItem(second);
    test.getKey("/SameTwice").appendItem(second);

    QPDFObjectHandle plain = QPDFObjectHandle::newStream(&pdf, std::string(5000, 'x') + "end");
    plain.getDict().replaceKey("/Purpose", QPDFObjectHandle::newName("/Plain"));
    test.replaceKey("/Plain", plain);
    QPDFObjectHandle hex = QPDFObjectHandle::newStream(&pdf, "48656C6C6F>");
    hex.getDict().replaceKey("/Filter", QPDFObjectHandle::newName("/ASCIIHexDecode"));
    test.replaceKey("/Hex", hex);
    QPDFObjectHandle metadata = QPDFObjectHandle::newStream(&pdf, "<x:xmpmeta/>");
    metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
    pdf.getRoot().replaceKey("/Metadata", metadata);

    QPDFObjectHandle many = QPDFObjectHandle::newArray();
    for (int i = 0; i < 250; ++i) many.appendItem(pdf.makeIndirectObject(QPDFObjectHandle::newInteger(i)));
    test.replaceKey("/Many", many);
    pdf.getRoot().replaceKey("/Test", test);

    QPDFObjectHandle info = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Title (A test) >>"));
    pdf.getTrailer().replaceKey("/Info", info);
    pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Orphan (nothing reaches me) >>"));
}

TEST(DocumentWriterTest, AReaderFindsEveryValueTheDocumentHeld) {
    QPDF original;
    fillTestDocument(original);
    const std::string path = written(original, "values.pdf");

    const auto check = runCommand({"/usr/bin/qpdf", "--check", path});
    EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
    QPDF copy;
    copy.processFile(path.c_str());
    SameValue same;
    EXPECT_TRUE(same(original.getRoot(), copy.getRoot(), "Root"));
    EXPECT_TRUE(same(original.getTrailer().getKey("/Info"), copy.getTrailer().getKey("/Info"), "Info"));
    EXPECT_EQ(copy.getPDFVersion(), "1.5");
    EXPECT_EQ(copy.getTrailer().getKey("/ID").getArrayNItems(), 2);

    QPDFObjectHandle test = copy.getRoot().getKey("/Test");
    EXPECT_FALSE(test.hasKey("/Gone"));
    EXPECT_EQ(test.getKey("/Plain").getDict().getKey("/Filter").unparse(), "/FlateDecode");
    EXPECT_LT(test.getKey("/Plain").getRawStreamData()->getSize(), 100u) << "unfiltered data is compressed";
    EXPECT_EQ(test.getKey("/Hex").getRawStreamData()->getSize(), 11u) << "filtered data keeps its bytes";
    EXPECT_FALSE(copy.getRoot().getKey("/Metadata").getDict().hasKey("/Filter")) << "metadata stays readable";
}

TEST(DocumentWriterTest, WhatNothingReachesIsLeftOutAndTheNumbersHaveNoGaps) {
    QPDF original;
    fillTestDocument(original);
    const std::string path = written(original, "reachable.pdf");

    QPDF copy;
    copy.processFile(path.c_str());
    const auto objects = copy.getAllObjects();
    for (QPDFObjectHandle object : objects) {
        if (!object.isStream()) {
            EXPECT_EQ(object.unparseResolved().find("nothing reaches me"), std::string::npos);
        }
    }
    EXPECT_EQ(objects.size(), static_cast<std::size_t>(copy.getTrailer().getKey("/Size").getIntValue() - 1))
        << "objects 1 to /Size - 1 are all in use";
}

// A damaged file can hold a name whose "#" begins no escape ("/FontDes#riptor"
// from a flipped byte); the report must still be a valid file.
TEST(DocumentWriterTest, ANumberSignThatBeginsNoEscapeIsWrittenEscaped) {
    QPDF original;
    fillTestDocument(original);
    // qpdf keeps such a "#" as a NUL byte in the name it read.
    original.getRoot().replaceKey("/Damaged", QPDFObjectHandle::newName(std::string("/FontDes") + '\0' + "riptor"));
    const std::string path = written(original, "stray-number-sign.pdf");

    const auto check = runCommand({"/usr/bin/qpdf", "--check", path});
    EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
    QPDF copy;
    copy.processFile(path.c_str());
    EXPECT_EQ(copy.getRoot().getKey("/Damaged").getName(), "/FontDes#riptor");
}

TEST(DocumentWriterTest, RefusesADocumentWithoutPages) {
    QPDF empty;
    empty.emptyPDF();
    try {
        host::writeDocument(empty);
        FAIL() << "a document without pages was written";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "the document has no pages");
    }
}

TEST(DocumentWriterTest, MuPdfReadsTheObjectStreamsAndTheCrossReferenceStream) {
    QPDF original;
    fillTestDocument(original);
    const std::string path = written(original, "mupdf.pdf");

    const auto title = runCommand({"/usr/bin/mutool", "show", path, "trailer/Info/Title"});
    EXPECT_EQ(title.exitStatus, 0) << title.err;
    EXPECT_EQ(title.out, "(A test)\n");
    EXPECT_EQ(title.err, "");
    // mutool counts array items from 1.
    const auto last = runCommand({"/usr/bin/mutool", "show", path, "trailer/Root/Test/Many/250"});
    EXPECT_NE(last.out.find("\n249\n"), std::string::npos) << last.out;
    const auto name = runCommand({"/usr/bin/mutool", "show", path, "trailer/Root/Test/Names/1"});
    EXPECT_EQ(name.out, "/A#20B\n");
}

}  // namespace
}  // namespace ortheo
