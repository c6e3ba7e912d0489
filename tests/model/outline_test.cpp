// The outline the plug-in builds in a new document, made through its own
// host calls and read back from the saved file by qpdf and MuPDF.

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <qpdf/JSON.hh>
#include <qpdf/QPDF.hh>

#include "support/raised.h"
#include "core/errors.h"
#include "model/documents.h"
#include "model/pages.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Handle;
using testing::raisedCode;
using host::Object;
using testing::LoadedPlugin;
using testing::runCommand;
using testing::temporaryPath;

constexpr host::FixedRect kReportBox{0, 1100 << 16, 1100 << 16, 0};

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

JSON member(const JSON& dictionary, const std::string& key) {
    JSON found = JSON::makeNull();
    dictionary.forEachDictItem([&](const std::string& name, JSON value) {
        if (name == key) found = value;
    });
    return found;
}

// qpdf's view of the outline: one line per item, indented two spaces a
// level, "title -> page N" for an item that leads to a page, "[closed]" for
// an item whose children are hidden.
void appendQpdfOutline(JSON items, int depth, std::vector<std::string>& lines) {
    items.forEachArrayItem([&](JSON item) {
        std::string title;
        member(item, "title").getString(title);
        std::string line = std::string(2 * depth, ' ') + title;
        std::string page;
        if (member(item, "destpageposfrom1").getNumber(page)) line += " -> page " + page;
        bool open = true;
        member(item, "open").getBool(open);
        if (!open) line += " [closed]";
        lines.push_back(line);
        appendQpdfOutline(member(item, "kids"), depth + 1, lines);
    });
}

std::vector<std::string> qpdfOutline(const std::string& path) {
    const auto result = runCommand({"/usr/bin/qpdf", "--json", "--json-key=outlines", path});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    std::vector<std::string> lines;
    appendQpdfOutline(member(JSON::parse(result.out), "outlines"), 0, lines);
    return lines;
}

// MuPDF's view: `mutool show F outline` prints a marker, a tab per level,
// the quoted title and the link ("#page=N&..."); the same line format.
std::vector<std::string> mupdfOutline(const std::string& path) {
    const auto result = runCommand({"/usr/bin/mutool", "show", path, "outline"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    std::vector<std::string> lines;
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (open == std::string::npos || close == open) continue;
        const std::size_t depth = open - 2;  // the marker and one tab come before the first level
        std::string entry = std::string(2 * depth, ' ') + line.substr(open + 1, close - open - 1);
        if (const std::size_t page = line.find("#page=", close); page != std::string::npos) {
            entry += " -> page " + line.substr(page + 6, line.find('&', page) - page - 6);
        }
        lines.push_back(entry);
    }
    return lines;
}

// Builds documents as the report driver does: pages of the report's size,
// bookmarks with an XYZ destination at the top of their page.
class OutlineTest : public ::testing::Test {
protected:
    Handle appendPage(Handle document) {
        const std::int32_t count = callHost<host::op::DocPageCount>(document);
        return callHost<host::op::DocCreatePage>(document, count - 1, kReportBox);
    }

    Object destinationTo(Handle document, Handle page) {
        host::FixedRect box;
        callHost<host::op::PageBox>(page, &box);
        const host::FixedRect rect{0, box.top, 0, 0};
        return callHost<host::op::ViewDestCreate>(document, page, atom("XYZ"), &rect, host::op::kZoomUnchanged, 0);
    }

    // An item under `parent`, leading to the page at `pageIndex` unless it is -1.
    Object bookmark(Handle document, Object parent, const char* title, std::int32_t pageIndex = -1) {
        const Object item = callHost<host::op::BookmarkAddNewChild>(parent, title);
        if (pageIndex < 0) return item;
        const Handle page = callHost<host::op::DocAcquirePage>(document, pageIndex);
        const Object destination = destinationTo(document, page);
        EXPECT_EQ(callHost<host::op::ViewDestIsValid>(destination), 1);
        callHost<host::op::BookmarkSetAction>(item,
                                              callHost<host::op::ActionNewGoTo>(document, destination, document));
        callHost<host::op::PageRelease>(page);
        return item;
    }

    host::Atom atom(const char* text) { return callHost<host::op::AtomFromString>(text); }
    QPDF& pdfOf(Handle document) { return *loaded_.host().documents().get(document).pdf; }

    // The document as its writer writes it, read back by qpdf.
    std::unique_ptr<QPDF> saved(Handle document) {
        const std::string path = temporaryPath("saved-outline.pdf");
        loaded_.host().documents().save(document, path);
        auto pdf = std::make_unique<QPDF>();
        pdf->processFile(path.c_str());
        return pdf;
    }

    LoadedPlugin loaded_;
};

TEST_F(OutlineTest, ANestedOutlineReadsBackInTheOrderMadeWithItsTargetPages) {
    const Handle document = callHost<host::op::DocCreate>();
    for (int page = 0; page < 3; ++page) callHost<host::op::PageRelease>(appendPage(document));
    const Object root = callHost<host::op::DocRootBookmark>(document);
    EXPECT_EQ(callHost<host::op::DocRootBookmark>(document), root) << "the root is made once";

    const Object names = bookmark(document, root, "Fonts by names");
    bookmark(document, names, "1 Alpha", 0);
    bookmark(document, names, "2 Beta", 1);
    bookmark(document, names, "3 \xCE\xA9mega", 2);
    bookmark(document, names, "4 Caf\xE9", 0);  // not UTF-8: a Windows-1252 font name
    const Object byPages = bookmark(document, root, "Fonts by pages");
    const Object first = bookmark(document, byPages, "Page 1/2");
    bookmark(document, first, "0 Alpha", 0);
    bookmark(document, first, "1 Beta", 1);
    const Object second = bookmark(document, byPages, "Page 2/2");
    bookmark(document, second, "0 Beta", 1);
    bookmark(document, second, "1 \xCE\xA9mega", 2);
    callHost<host::op::DocSetPageMode>(document, host::op::kPageModeUseBookmarks);

    const std::string path = temporaryPath("outline.pdf");
    loaded_.host().documents().save(document, path);

    const auto check = runCommand({"/usr/bin/qpdf", "--check", path});
    EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos) << check.out;

    const std::vector<std::string> expected{
        "Fonts by names [closed]",
        "  1 Alpha -> page 1",
        "  2 Beta -> page 2",
        "  3 \xCE\xA9mega -> page 3",
        "  4 Caf\xC3\xA9 -> page 1",
        "Fonts by pages [closed]",
        "  Page 1/2 [closed]",
        "    0 Alpha -> page 1",
        "    1 Beta -> page 2",
        "  Page 2/2 [closed]",
        "    0 Beta -> page 2",
        "    1 \xCE\xA9mega -> page 3",
    };
    EXPECT_EQ(qpdfOutline(path), expected);
    std::vector<std::string> withoutState;
    for (std::string line : expected) withoutState.push_back(line.substr(0, line.find(" [closed]")));
    EXPECT_EQ(mupdfOutline(path), withoutState);

    QPDF written;
    written.processFile(path.c_str());
    QPDFObjectHandle outlines = written.getRoot().getKey("/Outlines");
    EXPECT_EQ(written.getRoot().getKey("/PageMode").unparse(), "/UseOutlines");
    EXPECT_EQ(outlines.getKey("/Count").getIntValue(), 2) << "only the closed top level is shown";
    EXPECT_EQ(outlines.getKey("/First").getKey("/Count").getIntValue(), -4);
    EXPECT_EQ(outlines.getKey("/Last").getKey("/First").getKey("/Count").getIntValue(), -2);
    EXPECT_EQ(outlines.getKey("/First").getKey("/First").getKey("/A").getKey("/D").getArrayItem(4).unparse(),
              "null")
        << "a zoom kept unchanged is null in the destination";
    EXPECT_EQ(outlines.getKey("/First").getKey("/First").getKey("/A").getKey("/D").getArrayItem(3).unparse(),
              "1100");
}

TEST_F(OutlineTest, SavingGivesTheSameBytesTwiceAndLeavesNothingHalfWritten) {
    const Handle document = callHost<host::op::DocCreate>();
    callHost<host::op::PageRelease>(appendPage(document));
    bookmark(document, callHost<host::op::DocRootBookmark>(document), "Only", 0);
    const std::string once = temporaryPath("once.pdf");
    const std::string twice = temporaryPath("twice.pdf");
    loaded_.host().documents().save(document, once);
    loaded_.host().documents().save(document, twice);
    EXPECT_EQ(fileBytes(once), fileBytes(twice));
    EXPECT_FALSE(fileBytes(once).empty());

    const std::filesystem::path directory = temporaryPath("a-directory");
    std::filesystem::create_directory(directory);
    EXPECT_EQ(raisedCode([&] { loaded_.host().documents().save(document, directory.string()); }),
              host::kErrFileOpen);
    for (const auto& entry : std::filesystem::directory_iterator(directory.parent_path())) {
        EXPECT_EQ(entry.path().filename().string().find("a-directory.part"), std::string::npos);
    }
}

TEST_F(OutlineTest, ANewItemOfAnOpenedFileFollowsItsLastItem) {
    const Handle made = callHost<host::op::DocCreate>();
    callHost<host::op::PageRelease>(appendPage(made));
    const Object madeRoot = callHost<host::op::DocRootBookmark>(made);
    callHost<host::op::BookmarkAddNewChild>(madeRoot, "First");
    callHost<host::op::BookmarkAddNewChild>(madeRoot, "Second");
    const std::string path = temporaryPath("existing-outline.pdf");
    loaded_.host().documents().save(made, path);

    const Handle opened = loaded_.host().documents().open(path);
    bookmark(opened, callHost<host::op::DocRootBookmark>(opened), "Third", 0);
    const std::string changed = temporaryPath("existing-outline-changed.pdf");
    loaded_.host().documents().save(opened, changed);
    EXPECT_EQ(qpdfOutline(changed), (std::vector<std::string>{"First", "Second", "Third -> page 1"}));
    EXPECT_EQ(runCommand({"/usr/bin/qpdf", "--check", changed}).exitStatus, 0);
}

TEST_F(OutlineTest, AnOpenedFilesLargestCountTakesANewItemWithoutOverflowing) {
    const Handle made = callHost<host::op::DocCreate>();
    callHost<host::op::PageRelease>(appendPage(made));
    callHost<host::op::BookmarkAddNewChild>(callHost<host::op::DocRootBookmark>(made), "First");
    const std::string path = temporaryPath("largest-count.pdf");
    loaded_.host().documents().save(made, path);

    const Handle opened = loaded_.host().documents().open(path);
    QPDFObjectHandle outlines = loaded_.host().documents().get(opened).pdf->getRoot().getKey("/Outlines");
    outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(LLONG_MAX));
    callHost<host::op::BookmarkAddNewChild>(callHost<host::op::DocRootBookmark>(opened), "Second");
    EXPECT_EQ(outlines.getKey("/Count").getIntValue(), LLONG_MAX);
}

TEST_F(OutlineTest, MadeUpForeignAndStaleObjectsRaise) {
    const Handle document = callHost<host::op::DocCreate>();
    const Handle other = callHost<host::op::DocCreate>();
    const Handle page = appendPage(document);
    const Object root = callHost<host::op::DocRootBookmark>(document);
    const Object item = callHost<host::op::BookmarkAddNewChild>(root, "Item");
    const Object destination = destinationTo(document, page);
    const Object action = callHost<host::op::ActionNewGoTo>(document, destination, document);

    const auto raises = [](host::ErrorCode code, const std::function<void()>& body) {
        EXPECT_EQ(raisedCode(body), code);
    };
    raises(host::kErrBadHandle, [&] { callHost<host::op::BookmarkAddNewChild>(Object{12345, document}, "x"); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::BookmarkAddNewChild>(destination, "x"); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::BookmarkAddNewChild>(Object{item.word0, other}, "x"); });
    raises(host::kErrBadArgument, [&] { callHost<host::op::BookmarkAddNewChild>(item, nullptr); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::BookmarkSetAction>(item, destination); });
    raises(host::kErrBadArgument, [&] { callHost<host::op::BookmarkSetAction>(root, action); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::ActionNewGoTo>(document, item, document); });

    // Another document's action, destination and page.
    const Handle otherPage = appendPage(other);
    const Object otherDestination = destinationTo(other, otherPage);
    const Object otherAction = callHost<host::op::ActionNewGoTo>(other, otherDestination, other);
    raises(host::kErrBadArgument, [&] { callHost<host::op::BookmarkSetAction>(item, otherAction); });
    raises(host::kErrBadArgument, [&] { callHost<host::op::ActionNewGoTo>(document, otherDestination, other); });
    raises(host::kErrBadArgument, [&] { callHost<host::op::ActionNewGoTo>(document, destination, other); });
    const host::FixedRect top{0, 1100 << 16, 0, 0};
    raises(host::kErrBadArgument, [&] {
        callHost<host::op::ViewDestCreate>(document, otherPage, atom("XYZ"), &top, host::op::kZoomUnchanged, 0);
    });

    // Everything of a closed document is stale.
    callHost<host::op::BookmarkSetAction>(item, action);
    loaded_.host().documents().close(document);
    raises(host::kErrBadHandle, [&] { callHost<host::op::BookmarkAddNewChild>(item, "x"); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::BookmarkSetAction>(item, action); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::DocRootBookmark>(document); });
    raises(host::kErrBadHandle, [&] { callHost<host::op::PageRelease>(page); });
    EXPECT_EQ(loaded_.host().pages().acquiredCount(), 1u) << "only the other document's page is left";
}

TEST_F(OutlineTest, OnlyADestinationToAPageStillInItsOpenDocumentIsValid) {
    const Handle document = callHost<host::op::DocCreate>();
    const Handle first = appendPage(document);
    const Handle second = appendPage(document);
    const Object kept = destinationTo(document, first);
    const Object removed = destinationTo(document, second);
    const Object item = callHost<host::op::BookmarkAddNewChild>(callHost<host::op::DocRootBookmark>(document), "x");
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(kept), 1);

    pdfOf(document).removePage(loaded_.host().pages().get(second).page);
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(removed), 0);
    EXPECT_EQ(raisedCode([&] { callHost<host::op::ActionNewGoTo>(document, removed, document); }),
              host::kErrBadArgument);
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(Object{}), 0);
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(Object{kept.word0 + 1, document}), 0);
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(Object{kept.word0, document + 1}), 0);
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(item), 0);

    loaded_.host().documents().close(document);
    EXPECT_EQ(callHost<host::op::ViewDestIsValid>(kept), 0);
}

TEST_F(OutlineTest, IdenticalDestinationsAndActionsAreWrittenOnceAndShared) {
    const Handle document = callHost<host::op::DocCreate>();
    callHost<host::op::PageRelease>(appendPage(document));
    callHost<host::op::PageRelease>(appendPage(document));
    const Object root = callHost<host::op::DocRootBookmark>(document);
    bookmark(document, root, "first to page 1", 0);
    bookmark(document, root, "second to page 1", 0);
    bookmark(document, root, "to page 2", 1);

    const std::unique_ptr<QPDF> written = saved(document);
    QPDFObjectHandle first = written->getRoot().getKey("/Outlines").getKey("/First");
    QPDFObjectHandle second = first.getKey("/Next");
    QPDFObjectHandle third = second.getKey("/Next");
    EXPECT_TRUE(first.getKey("/A").isIndirect());
    EXPECT_EQ(first.getKey("/A").getObjGen(), second.getKey("/A").getObjGen());
    EXPECT_NE(first.getKey("/A").getObjGen(), third.getKey("/A").getObjGen());
    EXPECT_TRUE(first.getKey("/A").getKey("/D").isIndirect());
    EXPECT_EQ(third.getKey("/A").getKey("/D").getArrayItem(0).getObjGen(),
              written->getAllPages().at(1).getObjGen());
    EXPECT_EQ(qpdfOutline(temporaryPath("saved-outline.pdf")),
              (std::vector<std::string>{"first to page 1 -> page 1", "second to page 1 -> page 1",
                                        "to page 2 -> page 2"}));
}

TEST_F(OutlineTest, EachFitTypeTakesItsOwnValues) {
    const Handle document = callHost<host::op::DocCreate>();
    const Handle page = appendPage(document);
    const host::FixedRect rect{1 << 16, 4 << 16, 3 << 16, 0x28000};  // left 1, top 4, right 3, bottom 2.5

    // The destination array without its page reference, as it is written.
    const auto written = [&](const char* fit, const host::FixedRect* r, host::Fixed zoom) {
        const Object destination = callHost<host::op::ViewDestCreate>(document, page, atom(fit), r, zoom, 0);
        const Object item =
            callHost<host::op::BookmarkAddNewChild>(callHost<host::op::DocRootBookmark>(document), fit);
        callHost<host::op::BookmarkSetAction>(item, callHost<host::op::ActionNewGoTo>(document, destination, document));
        const std::string array =
            saved(document)->getRoot().getKey("/Outlines").getKey("/Last").getKey("/A").getKey("/D").unparseResolved();
        return array.substr(array.find(" R ") + 3);
    };
    EXPECT_EQ(written("XYZ", &rect, 0x18000), "/XYZ 1 4 1.5 ]");
    EXPECT_EQ(written("XYZ", &rect, host::op::kZoomUnchanged), "/XYZ 1 4 null ]");
    EXPECT_EQ(written("FitR", &rect, 0), "/FitR 1 2.5 3 4 ]");
    EXPECT_EQ(written("FitH", &rect, 0), "/FitH 4 ]");
    EXPECT_EQ(written("FitBV", &rect, 0), "/FitBV 1 ]");
    EXPECT_EQ(written("Fit", nullptr, 0), "/Fit ]");

    EXPECT_EQ(raisedCode([&] { written("Zoom", &rect, 0); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] {
                  callHost<host::op::ViewDestCreate>(document, page, host::kNullAtom, &rect, 0, 0);
              }),
              host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { written("XYZ", nullptr, 0); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { written("XYZ", &rect, -0x10000); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { written("XYZ", &rect, 0); }), host::kErrNone);
}

}  // namespace
}  // namespace ortheo
