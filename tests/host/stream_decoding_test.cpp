// Decoding a stream up to a limit: what comes out, and why it stopped.

#include <gtest/gtest.h>

#include <string>

#include <qpdf/QPDF.hh>

#include "cos/stream_decoding.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Decoding;

class StreamDecodingTest : public ::testing::Test {
protected:
    StreamDecodingTest() {
        pdf_.emptyPDF();
        pdf_.setSuppressWarnings(true);
    }

    QPDFObjectHandle stream(const std::string& data, const std::string& dict) {
        QPDFObjectHandle made = pdf_.makeIndirectObject(QPDFObjectHandle::newStream(&pdf_, data));
        made.replaceDict(QPDFObjectHandle::parse(dict));
        return made;
    }

    QPDF pdf_;
};

TEST_F(StreamDecodingTest, StopsAtTheLimitWithTheLimitsWorth) {
    const std::string text(100000, 'a');
    const QPDFObjectHandle flate = stream(testing::deflate(text), "<< /Filter /FlateDecode >>");

    const auto whole = host::decodeAtMost(flate, text.size());
    EXPECT_EQ(whole.outcome, Decoding::complete) << "exactly the limit is not past it";
    EXPECT_EQ(whole.data, text);

    const auto cut = host::decodeAtMost(flate, 1000);
    EXPECT_EQ(cut.outcome, Decoding::tooLarge);
    EXPECT_EQ(cut.data, text.substr(0, 1000));

    const std::string hex = "78" + std::string(20000, '0') + ">";
    const auto chained = host::decodeAtMost(stream(hex, "<< /Filter /ASCIIHexDecode >>"), 10);
    EXPECT_EQ(chained.outcome, Decoding::tooLarge);
    EXPECT_EQ(chained.data, std::string("\x78") + std::string(9, '\0'));
}

TEST_F(StreamDecodingTest, DamagedDataGivesWhatCameBeforeTheDamageWithinTheLimit) {
    const std::string text = testing::sampleCMap(300000);
    const QPDFObjectHandle broken = stream(testing::deflateThenBreak(text), "<< /Filter /FlateDecode >>");

    const auto damaged = host::decodeAtMost(broken, 1 << 20);
    EXPECT_EQ(damaged.outcome, Decoding::damaged);
    EXPECT_FALSE(damaged.data.empty());
    EXPECT_EQ(damaged.data, text.substr(0, damaged.data.size()));

    const auto cut = host::decodeAtMost(broken, 10);
    EXPECT_EQ(cut.outcome, Decoding::tooLarge) << "the recovery stops at the limit too";
    EXPECT_EQ(cut.data, text.substr(0, 10));

    const auto unknown = host::decodeAtMost(stream("image", "<< /Filter /JBIG2Decode >>"), 100);
    EXPECT_EQ(unknown.outcome, Decoding::unsupported);
    EXPECT_EQ(unknown.data, "");
}

}  // namespace
}  // namespace ortheo
