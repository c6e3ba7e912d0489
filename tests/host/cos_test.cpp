// Cos objects and decoded streams over real PDF files, read through the
// plug-in's own host calls.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>

#include <qpdf/QPDF.hh>

#include "support/raised.h"
#include "core/errors.h"
#include "core/streams.h"
#include "cos/cos_objects.h"
#include "model/documents.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/raised.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Object;
using testing::LoadedPlugin;

std::string commandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    std::array<char, 4096> chunk;
    while (const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) output.append(chunk.data(), got);
    return output;
}

class CosTest : public ::testing::Test {
protected:
    // The Cos object of font /F1 of the first page of `path`.
    Object openFont(const std::string& path) {
        document_ = loaded_.host().documents().open(path);
        QPDF& pdf = *loaded_.host().documents().get(document_).pdf;
        QPDFObjectHandle page = pdf.getAllPages().at(0);
        QPDFObjectHandle font = page.getKey("/Resources").getKey("/Font").getKey("/F1");
        return loaded_.host().cos().wrap(document_, font);
    }

    Object toUnicodeOf(Object font) {
        return callHost<host::op::CosDictGet>(font, callHost<host::op::AtomFromString>("ToUnicode"));
    }

    // Reads a stream the way the ToUnicode reader does: 1000 bytes a call.
    std::string readInChunks(host::Handle stream, std::size_t* calls) {
        std::string data;
        char chunk[1000];
        *calls = 0;
        while (const std::int32_t got = callHost<host::op::StreamRead>(chunk, 1, 1000, stream)) {
            data.append(chunk, static_cast<std::size_t>(got));
            ++*calls;
        }
        return data;
    }

    LoadedPlugin loaded_;
    host::Handle document_ = 0;
};

TEST_F(CosTest, ReadsTheDecodedToUnicodeStreamAsQpdfShowsIt) {
    const auto sample = testing::writeToUnicodePdf(testing::temporaryPath("tounicode.pdf"), testing::sampleCMap(12345));
    const Object toUnicode = toUnicodeOf(openFont(sample.path));

    EXPECT_EQ(callHost<host::op::CosTypeOf>(toUnicode), host::kCosStream);
    EXPECT_EQ(callHost<host::op::CosEqual>(toUnicode, callHost<host::op::CosNull>()), 0);
    const host::Handle stream = callHost<host::op::CosStreamOpen>(toUnicode, host::op::kStreamDecoded);
    std::size_t calls = 0;
    const std::string data = readInChunks(stream, &calls);
    callHost<host::op::StreamClose>(stream);

    const std::string expected = commandOutput("qpdf --show-object=" + std::to_string(sample.toUnicodeObject) +
                                               " --filtered-stream-data " + sample.path);
    EXPECT_GE(data.size(), 12345u);
    EXPECT_EQ(data, expected);
    EXPECT_EQ(calls, (data.size() + 999) / 1000);
    EXPECT_EQ(loaded_.host().streams().openCount(), 0u);
}

TEST_F(CosTest, ReadsAToUnicodeStreamOfARealProducer) {
    const std::string path = ORTHEO_FIXTURES "/latex.pdf";
    document_ = loaded_.host().documents().open(path);
    QPDF& pdf = *loaded_.host().documents().get(document_).pdf;
    QPDFObjectHandle font = pdf.getObjectByID(4, 0);  // BDMPPX+CMBX12, set by pdfTeX
    const int number = font.getKey("/ToUnicode").getObjectID();
    const Object toUnicode = toUnicodeOf(loaded_.host().cos().wrap(document_, font));

    ASSERT_EQ(callHost<host::op::CosTypeOf>(toUnicode), host::kCosStream);
    const host::Handle stream = callHost<host::op::CosStreamOpen>(toUnicode, host::op::kStreamDecoded);
    std::size_t calls = 0;
    const std::string data = readInChunks(stream, &calls);
    callHost<host::op::StreamClose>(stream);
    EXPECT_EQ(data, commandOutput("qpdf --show-object=" + std::to_string(number) + " --filtered-stream-data " + path));
    EXPECT_GT(data.size(), 0u);
}

TEST_F(CosTest, AMissingKeyIsTheNullObjectAndOtherTypesAreAnswered) {
    const auto sample = testing::writeToUnicodePdf(testing::temporaryPath("types.pdf"), "");
    const Object font = openFont(sample.path);
    const Object missing = callHost<host::op::CosDictGet>(font, callHost<host::op::AtomFromString>("Widths"));
    EXPECT_EQ(callHost<host::op::CosEqual>(missing, callHost<host::op::CosNull>()), 1);
    EXPECT_EQ(callHost<host::op::CosTypeOf>(missing), host::kCosNull);
    const Object name = callHost<host::op::CosDictGet>(font, callHost<host::op::AtomFromString>("BaseFont"));
    EXPECT_EQ(callHost<host::op::CosTypeOf>(name), host::kCosName);
    EXPECT_EQ(callHost<host::op::CosTypeOf>(font), host::kCosDict);
    EXPECT_EQ(toUnicodeOf(font), toUnicodeOf(font)) << "an indirect object always gives the same words";
}

TEST_F(CosTest, AStreamThatFailsPartWayDeliversWhatItDecodedThenRaises) {
    // Large enough that the decoder hands on whole buffers before it meets the damage.
    const std::string cmap = testing::sampleCMap(300000);
    const auto sample = testing::writeCorruptToUnicodePdf(testing::temporaryPath("corrupt.pdf"), cmap);
    const host::Handle stream =
        callHost<host::op::CosStreamOpen>(toUnicodeOf(openFont(sample.path)), host::op::kStreamDecoded);

    std::string data;
    char chunk[1000];
    const host::ErrorCode raised = testing::raisedCode([&] {
        while (const std::int32_t got = callHost<host::op::StreamRead>(chunk, 1, 1000, stream)) data.append(chunk, got);
    });
    EXPECT_EQ(raised, host::kErrStreamRead) << "the damaged stream must raise once its good part is read";
    EXPECT_GT(data.size(), 0u);
    EXPECT_EQ(data, cmap.substr(0, data.size()));
    callHost<host::op::StreamClose>(stream);
}

TEST_F(CosTest, AStreamIsDecodedNoFurtherThanSixteenMegabytes) {
    std::string cmap;
    while (cmap.size() < (17 << 20)) cmap += "<0041> <0042>\n";
    const auto sample = testing::writeToUnicodePdf(testing::temporaryPath("large-cmap.pdf"), cmap);
    const host::Handle stream =
        callHost<host::op::CosStreamOpen>(toUnicodeOf(openFont(sample.path)), host::op::kStreamDecoded);

    std::string data;
    char chunk[65536];
    EXPECT_EQ(testing::raisedText([&] {
                  while (const std::int32_t got = callHost<host::op::StreamRead>(chunk, 1, sizeof chunk, stream)) {
                      data.append(chunk, static_cast<std::size_t>(got));
                  }
              }),
              "the stream's data decodes to more than 16 MB; reading stopped there");
    EXPECT_EQ(data.size(), std::size_t{16} << 20);
    EXPECT_TRUE(data == cmap.substr(0, data.size()));
    callHost<host::op::StreamClose>(stream);
}

TEST_F(CosTest, ObjectsOfAClosedDocumentAndMadeUpObjectsRaise) {
    const auto sample = testing::writeToUnicodePdf(testing::temporaryPath("closed.pdf"), "");
    const Object font = openFont(sample.path);
    EXPECT_THROW(callHost<host::op::CosTypeOf>(Object{font.word0, font.word1 + 1}), HostRaised);
    EXPECT_THROW(callHost<host::op::CosTypeOf>(Object{0x12345, 0}), HostRaised);
    loaded_.host().documents().close(document_);
    EXPECT_THROW(callHost<host::op::CosTypeOf>(font), HostRaised);
    EXPECT_THROW(callHost<host::op::StreamRead>(nullptr, 1, 1, host::Handle{0}), HostRaised);
}

TEST_F(CosTest, QpdfRecoversADamagedCrossReferenceTable) {
    const auto sample = testing::writeToUnicodePdf(testing::temporaryPath("damaged.pdf"), testing::sampleCMap(3000));
    std::string bytes = commandOutput("cat " + sample.path);
    const std::size_t xref = bytes.rfind("startxref");
    ASSERT_NE(xref, std::string::npos);
    bytes.replace(xref + 10, 4, "9999");  // point startxref into nowhere
    const std::string damaged = testing::temporaryPath("damaged-xref.pdf");
    std::ofstream(damaged, std::ios::binary) << bytes;

    const Object toUnicode = toUnicodeOf(openFont(damaged));
    EXPECT_EQ(callHost<host::op::CosTypeOf>(toUnicode), host::kCosStream);
}

TEST(Documents, SayWhatIsWrongWithAFile) {
    LoadedPlugin loaded;
    auto& documents = loaded.host().documents();
    try {
        documents.open("/nonexistent/file.pdf");
        FAIL();
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.code(), host::kErrFileOpen);
    }
    const std::string text = testing::temporaryPath("not-a-pdf.pdf");
    std::ofstream(text) << "just some words, no PDF here\n";
    try {
        documents.open(text);
        FAIL();
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.code(), host::kErrPdf);
    }
}

}  // namespace
}  // namespace ortheo
