// Page-content editing through the plug-in's own host calls: elements made
// and stored as pages' content, then the saved document read back by
// independent readers (qpdf, pdftotext, pdffonts).

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <regex>
#include <set>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "support/raised.h"
#include "core/errors.h"
#include "edit/page_content.h"
#include "model/documents.h"
#include "model/fonts.h"
#include "model/pages.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Fixed;
using host::Handle;
namespace op = host::op;

constexpr Fixed kPageTop = 1100 * host::kFixedOne;
constexpr Fixed kLightBlue = 0xCCCD;

Fixed fix(int points) { return points * host::kFixedOne; }

using GraphicStateRecord = std::array<unsigned char, host::kGraphicStateSize>;

void put(GraphicStateRecord& record, std::size_t offset, std::uint32_t value) {
    std::memcpy(record.data() + offset, &value, sizeof value);
}

GraphicStateRecord graphicState(Handle colorSpace, std::array<Fixed, 3> stroke, Fixed lineWidth) {
    GraphicStateRecord record{};
    put(record, host::kGraphicStateFillSpace, colorSpace);
    put(record, host::kGraphicStateStrokeSpace, colorSpace);
    for (std::size_t i = 0; i < 3; ++i) put(record, host::kGraphicStateStrokeColor + 4 * i, stroke[i]);
    put(record, host::kGraphicStateLineWidth, lineWidth);
    put(record, host::kGraphicStateMiterLimit, fix(10));
    put(record, host::kGraphicStateFlatness, host::kFixedOne);
    return record;
}

Handle colorSpace(const char* name) {
    return callHost<op::ColorSpaceCreate>(callHost<op::AtomFromString>(name));
}

// The page writers' drawing operations, made the way the report draws.
void writeText(Handle text, const std::string& bytes, Handle font, int x, int y, int width, int height,
               std::int32_t mode = op::kTextRun) {
    const GraphicStateRecord state = graphicState(colorSpace("DeviceGray"), {}, host::kFixedOne);
    const host::FixedMatrix matrix{fix(width), 0, 0, fix(height), fix(x), kPageTop - fix(y + height)};
    callHost<op::TextAdd>(text, mode, 0, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                          static_cast<std::int32_t>(bytes.size()), font, state.data(),
                          static_cast<std::int32_t>(state.size()), nullptr, 0, &matrix, nullptr);
}

void addRectangle(Handle path, int x, int y, int width, int height) {
    callHost<op::PathSetPaintOp>(path, op::kPaintStroke);
    callHost<op::PathAddSegment>(path, op::kSegmentRect, fix(x), kPageTop - fix(y), fix(width), fix(-height), 0, 0);
}

void setPathStyle(Handle path, Fixed lineWidth) {
    const GraphicStateRecord state = graphicState(colorSpace("DeviceRGB"), {kLightBlue, kLightBlue, host::kFixedOne},
                                                  lineWidth);
    callHost<op::ElementSetGraphicState>(path, state.data(), static_cast<std::int32_t>(state.size()));
}

// Runs a tool found on the PATH.
testing::CommandResult run(std::vector<std::string> command) {
    command.insert(command.begin(), "/usr/bin/env");
    return testing::runCommand(command);
}

std::string output(const std::vector<std::string>& command) { return run(command).out; }

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

host::ErrorCode raisedBy(const std::function<void()>& call) { return testing::raisedCode(call); }

class PageContentTest : public ::testing::Test {
protected:
    host::Host& host() { return loaded_.host(); }

    // A report document with `count` empty pages of 1100 by 1100 points.
    void makeReport(int count) {
        report_ = host().documents().create();
        QPDF& pdf = *host().documents().get(report_).pdf;
        for (int i = 0; i < count; ++i) {
            QPDFPageDocumentHelper(pdf).addPage(
                pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 1100 1100] >>")), false);
        }
    }

    Handle reportFont() {
        return host().fonts().makePageFont(
            {host::kNoHandle, QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>")});
    }

    // Stores the elements as the content of page `index` of `document`.
    void storePage(Handle document, int index, std::initializer_list<Handle> elements) {
        const Handle page = host().pages().acquire(document, index);
        const Handle content = callHost<op::PageAcquireContent>(page, host().extension());
        for (Handle element : elements) callHost<op::ContentAddElement>(content, op::kAfterLastElement, element);
        callHost<op::PageSetContent>(page, host().extension());
        callHost<op::PageReleaseContent>(page, host().extension());
        host().pages().release(page);
    }

    std::string save(Handle document, const std::string& name) {
        const std::string path = testing::temporaryPath(name);
        host().documents().save(document, path);
        return path;
    }

    // The decoded content streams of page `number` (1-based), as qpdf shows them.
    std::string pageContent(const std::string& path, int number) {
        const std::string pages = output({"qpdf", "--show-pages", path});
        const std::regex pageBlock("page " + std::to_string(number) + R"(: \d+ 0 R\n  content:\n((?:    \d+ 0 R\n)+))");
        std::smatch match;
        if (!std::regex_search(pages, match, pageBlock)) return "";
        std::string content;
        const std::string streams = match[1];
        const std::regex reference(R"((\d+) 0 R)");
        for (auto it = std::sregex_iterator(streams.begin(), streams.end(), reference); it != std::sregex_iterator(); ++it) {
            content += output({"qpdf", "--show-object=" + (*it)[1].str(), "--filtered-stream-data", path});
        }
        return content;
    }

    void expectCleanCheck(const std::string& path) {
        const testing::CommandResult check = run({"qpdf", "--check", path});
        EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
        EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos) << check.out;
    }

    testing::LoadedPlugin loaded_;
    Handle report_ = host::kNoHandle;
};

TEST_F(PageContentTest, TextAndFramesBecomeAContentStreamThatReadersSee) {
    makeReport(1);
    const Handle text = callHost<op::TextCreate>();
    const Handle glyphBoxes = callHost<op::PathCreate>();
    const Handle cellFrames = callHost<op::PathCreate>();
    setPathStyle(glyphBoxes, host::kFixedOne);
    setPathStyle(cellFrames, host::kFixedOne / 2);
    writeText(text, "Fonts by (names)", reportFont(), 30, 30, 12, 15);
    writeText(text, "A", reportFont(), 66, 70, 24, 32, op::kTextChar);
    addRectangle(cellFrames, 30, 70, 62, 59);
    addRectangle(glyphBoxes, 66, 70, 24, 32);
    storePage(report_, 0, {cellFrames, glyphBoxes, text});
    for (Handle element : {text, glyphBoxes, cellFrames}) callHost<op::ElementRelease>(element);

    const std::string path = save(report_, "frames-and-text.pdf");
    expectCleanCheck(path);
    const std::string content = pageContent(path, 1);
    EXPECT_NE(content.find("0.8 0.8 1 RG\n0.5 w\n30 1030 62 -59 re\nS\n"), std::string::npos) << content;
    EXPECT_NE(content.find("0.8 0.8 1 RG\n1 w\n66 1030 24 -32 re\nS\n"), std::string::npos) << content;
    EXPECT_NE(content.find("/F1 1 Tf\n12 0 0 15 30 1055 Tm\n0 g\n(Fonts by \\(names\\)) Tj"), std::string::npos)
        << content;
    EXPECT_EQ(occurrences(content, "/F1 1 Tf"), 1u) << "both pieces draw with the one Times-Roman, set once";
    EXPECT_EQ(occurrences(content, "/F2"), 0u);
    EXPECT_EQ(occurrences(content, "BT\n"), 1u) << "a text element is one text object";
    EXPECT_LT(content.find(" re\n"), content.find("BT\n")) << "text is drawn over the frames";
    EXPECT_NE(output({"pdftotext", "-layout", path, "-"}).find("Fonts by (names)"), std::string::npos);
}

TEST_F(PageContentTest, AFontFromAnotherDocumentIsCopiedOnceWithItsProgram) {
    makeReport(3);
    const Handle latex = host().documents().open(ORTHEO_FIXTURES "/latex.pdf");
    QPDF& source = *host().documents().get(latex).pdf;
    const Handle analysed = host().fonts().makePageFont({latex, source.getObjectByID(5, 0)});  // ZJNHEM+CMR10
    // An inline dictionary gets an object of its own before it is copied.
    const Handle inlineFont = host().fonts().makePageFont(
        {latex, QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>")});

    for (int page = 0; page < 3; ++page) {
        const Handle text = callHost<op::TextCreate>();
        writeText(text, "Fonts", analysed, 30, 30, 12, 15);
        writeText(text, "code", inlineFont, 30, 50, 12, 15);
        writeText(text, "page", reportFont(), 30, 70, 12, 15);
        storePage(report_, page, {text});
        callHost<op::ElementRelease>(text);
    }
    host().documents().close(latex);  // the copy must not need the source any more

    const std::string path = save(report_, "copied-font.pdf");
    expectCleanCheck(path);
    const std::string objects = output({"qpdf", "--json", "--json-key=qpdf", path});
    EXPECT_EQ(occurrences(objects, "\"/BaseFont\": \"/ZJNHEM+CMR10\""), 1u);
    EXPECT_EQ(occurrences(objects, "\"/FontFile\""), 1u);
    EXPECT_EQ(occurrences(objects, "\"/BaseFont\": \"/Courier\""), 1u);
    EXPECT_EQ(occurrences(objects, "\"/BaseFont\": \"/Times-Roman\""), 1u);

    const std::string fonts = output({"pdffonts", path});
    EXPECT_NE(fonts.find("ZJNHEM+CMR10                         Type 1            Builtin          yes"),
              std::string::npos)
        << fonts;
    for (int page = 1; page <= 3; ++page) {
        EXPECT_NE(pageContent(path, page).find("/F1 1 Tf"), std::string::npos) << "names are per page, from /F1";
    }
    EXPECT_EQ(occurrences(output({"pdftotext", "-layout", path, "-"}), "Fonts"), 3u);
}

TEST_F(PageContentTest, APageKeepsWhatItDrewBeforeUnderTheNewElements) {
    const Handle cairo = host().documents().open(ORTHEO_FIXTURES "/cairo.pdf");
    QPDFObjectHandle page = host().documents().get(cairo).pdf->getAllPages().at(0);
    const std::set<std::string> ownFonts = page.getKey("/Resources").getKey("/Font").getKeys();
    const std::string before = output({"pdftotext", "-layout", "-f", "1", "-l", "1", ORTHEO_FIXTURES "/cairo.pdf", "-"});
    const Handle text = callHost<op::TextCreate>();
    writeText(text, "Added later", reportFont(), 30, 400, 12, 15);
    const Handle pageHandle = host().pages().acquire(cairo, 0);
    const Handle content = callHost<op::PageAcquireContent>(pageHandle, host().extension());
    callHost<op::ContentAddElement>(content, op::kAfterLastElement, text);
    callHost<op::PageSetContent>(pageHandle, host().extension());
    callHost<op::PageSetContent>(pageHandle, host().extension());  // the earlier drawing stays once, not twice
    callHost<op::PageReleaseContent>(pageHandle, host().extension());
    const Handle more = callHost<op::TextCreate>();
    writeText(more, "And more", reportFont(), 30, 430, 12, 15);
    storePage(cairo, 0, {more});

    std::set<std::string> fonts = page.getKey("/Resources").getKey("/Font").getKeys();
    for (const std::string& own : ownFonts) EXPECT_EQ(fonts.erase(own), 1u) << own;
    ASSERT_EQ(fonts.size(), 1u) << "one new font, under a name of its own, kept when the page is edited again";
    const std::string path = save(cairo, "kept.pdf");
    expectCleanCheck(path);
    EXPECT_NE(pageContent(path, 1).find(*fonts.begin() + " 1 Tf\n"), std::string::npos);
    const std::string after = output({"pdftotext", "-layout", "-f", "1", "-l", "1", path, "-"});
    EXPECT_EQ(occurrences(after, "Added later"), 1u) << after;
    EXPECT_EQ(occurrences(after, "And more"), 1u) << after;
    EXPECT_EQ(occurrences(after, "Roman text, bold, emphasis"), 1u) << after;
    EXPECT_EQ(occurrences(before, "Roman text, bold, emphasis"), 1u) << before;
}

TEST_F(PageContentTest, ContentObjectsAndElementsFollowTheirAcquisitions) {
    makeReport(1);
    const Handle page = host().pages().acquire(report_, 0);
    const Handle otherHandle = host().pages().acquire(report_, 0);
    const Handle content = callHost<op::PageAcquireContent>(page, host().extension());
    EXPECT_EQ(callHost<op::PageAcquireContent>(otherHandle, host().extension()), content);

    // The content holds copies: later changes and the release do not reach it.
    const Handle first = callHost<op::PathCreate>();
    addRectangle(first, 0, 0, 10, 10);
    callHost<op::ContentAddElement>(content, op::kAfterLastElement, first);
    addRectangle(first, 500, 500, 10, 10);
    callHost<op::ElementRelease>(first);
    EXPECT_EQ(raisedBy([&] { addRectangle(first, 0, 0, 1, 1); }), host::kErrBadHandle);
    const Handle before = callHost<op::PathCreate>();
    addRectangle(before, 1, 1, 1, 1);
    callHost<op::ContentAddElement>(content, -1, before);

    callHost<op::PageReleaseContent>(page, host().extension());
    callHost<op::PageSetContent>(page, host().extension());  // still acquired once
    callHost<op::PageReleaseContent>(page, host().extension());
    EXPECT_EQ(raisedBy([&] { callHost<op::ContentAddElement>(content, op::kAfterLastElement, before); }),
              host::kErrBadHandle);
    EXPECT_EQ(raisedBy([&] { callHost<op::PageReleaseContent>(page, host().extension()); }), host::kErrBadArgument);

    const std::string content1 = pageContent(save(report_, "copies.pdf"), 1);
    EXPECT_LT(content1.find("1 1099 1 -1 re"), content1.find("0 1100 10 -10 re")) << content1;
    EXPECT_EQ(content1.find("500 600"), std::string::npos) << content1;

    // Colour spaces are shared per family and counted.
    const Handle gray = colorSpace("DeviceGray");
    EXPECT_EQ(colorSpace("DeviceGray"), gray);
    EXPECT_NE(colorSpace("DeviceRGB"), gray);
    callHost<op::ElementRelease>(gray);
    callHost<op::ElementRelease>(gray);
    EXPECT_EQ(raisedBy([&] { callHost<op::ElementRelease>(gray); }), host::kErrBadHandle);
}

TEST_F(PageContentTest, BadHandlesSizesAndModesRaise) {
    makeReport(1);
    const Handle text = callHost<op::TextCreate>();
    const Handle path = callHost<op::PathCreate>();
    const Handle font = reportFont();
    const Handle gray = colorSpace("DeviceGray");
    const GraphicStateRecord good = graphicState(gray, {}, host::kFixedOne);
    const host::FixedMatrix matrix{host::kFixedOne, 0, 0, host::kFixedOne, 0, 0};
    const std::uint8_t bytes[] = {'a', 'b', 'c', 'd', 'e'};
    auto textAdd = [&](std::int32_t mode, std::int32_t count, const void* state, std::int32_t size,
                       const host::FixedMatrix* m) {
        return [=] { callHost<op::TextAdd>(text, mode, 0, bytes, count, font, state, size, nullptr, 0, m, nullptr); };
    };
    GraphicStateRecord noColorSpace = good;
    put(noColorSpace, host::kGraphicStateStrokeSpace, 0);
    GraphicStateRecord tooBright = good;
    put(tooBright, host::kGraphicStateFillColor, 2 * host::kFixedOne);
    GraphicStateRecord negativeWidth = good;
    put(negativeWidth, host::kGraphicStateLineWidth, static_cast<std::uint32_t>(-host::kFixedOne));
    const Handle page = host().pages().acquire(report_, 0);

    const std::pair<const char*, std::function<void()>> failures[] = {
        {"unknown colour space", [] { colorSpace("Pattern"); }},
        {"graphic state of the wrong size", [&] { callHost<op::ElementSetGraphicState>(path, good.data(), 100); }},
        {"no colour space in the record", [&] { callHost<op::ElementSetGraphicState>(path, noColorSpace.data(), 164); }},
        {"colour beyond 1", [&] { callHost<op::ElementSetGraphicState>(path, tooBright.data(), 164); }},
        {"negative line width", [&] { callHost<op::ElementSetGraphicState>(path, negativeWidth.data(), 164); }},
        {"text mode 3", textAdd(3, 1, good.data(), 164, &matrix)},
        {"negative byte count", textAdd(op::kTextRun, -1, good.data(), 164, &matrix)},
        {"a character of five bytes", textAdd(op::kTextChar, 5, good.data(), 164, &matrix)},
        {"no graphic state", textAdd(op::kTextRun, 1, nullptr, 164, &matrix)},
        {"no text matrix", textAdd(op::kTextRun, 1, good.data(), 164, nullptr)},
        {"text added to a path",
         [&] { callHost<op::TextAdd>(path, 1, 0, bytes, 1, font, good.data(), 164, nullptr, 0, &matrix, nullptr); }},
        {"a colour space as a font",
         [&] { callHost<op::TextAdd>(text, 1, 0, bytes, 1, gray, good.data(), 164, nullptr, 0, &matrix, nullptr); }},
        {"paint op on a text", [&] { callHost<op::PathSetPaintOp>(text, op::kPaintStroke); }},
        {"two fills at once", [&] { callHost<op::PathSetPaintOp>(path, 6); }},
        {"unknown paint op", [&] { callHost<op::PathSetPaintOp>(path, 8); }},
        {"segment kind 7", [&] { callHost<op::PathAddSegment>(path, 7, 0, 0, 0, 0, 0, 0); }},
        {"line-to without a current point", [&] { callHost<op::PathAddSegment>(path, 1, 0, 0, 0, 0, 0, 0); }},
        {"content of a foreign extension", [&] { callHost<op::PageAcquireContent>(page, 12345); }},
        {"content stored before it is acquired", [&] { callHost<op::PageSetContent>(page, host().extension()); }},
        {"a page handle that is not one", [&] { callHost<op::PageAcquireContent>(text, host().extension()); }},
        {"releasing a content handle as an element", [&] {
             const Handle content = callHost<op::PageAcquireContent>(page, host().extension());
             callHost<op::ElementRelease>(content);
         }},
        {"adding after an element that is not there", [&] {
             const Handle content = callHost<op::PageAcquireContent>(page, host().extension());
             callHost<op::ContentAddElement>(content, 0, text);
         }},
    };
    for (const auto& [what, call] : failures) EXPECT_NE(raisedBy(call), host::kErrNone) << what;

    // Nothing half-done is left behind by a failed call.
    EXPECT_TRUE(std::get<host::TextElement>(host().content().element(text)).runs.empty());
    EXPECT_TRUE(std::get<host::PathElement>(host().content().element(path)).segments.empty());
    EXPECT_EQ(std::get<host::PathElement>(host().content().element(path)).paintOp, 0);
}

}  // namespace
}  // namespace ortheo
