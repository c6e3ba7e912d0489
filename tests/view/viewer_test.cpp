// The viewer as the plug-in sees it: the active view and its document, the
// view's selection, alerts, and the fonts of selected text in real
// producers' files, checked against the content as mutool shows it.

#include <cstdint>
#include <functional>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/raised.h"
#include "core/errors.h"
#include "core/handles.h"
#include "model/documents.h"
#include "model/fonts.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/run_command.h"
#include "support/stderr_capture.h"
#include "view/viewer.h"

namespace ortheo {
namespace {

using host::Handle;
using testing::raisedCode;
using Names = std::vector<std::string>;

std::string fixture(const std::string& name) { return std::string(ORTHEO_FIXTURES) + "/" + name; }

// What the selection procedure was handed, and when it says stop.
struct Collected {
    std::vector<Handle> fonts;
    std::size_t stopAfter = SIZE_MAX;
    bool flagsGiven = true;
};

host::Bool16 collectFont(host::ClientData data, Handle font, void* flags) {
    auto& collected = *static_cast<Collected*>(data);
    collected.fonts.push_back(font);
    collected.flagsGiven = collected.flagsGiven && flags != nullptr;
    return collected.fonts.size() < collected.stopAfter ? 1 : 0;
}

// The number of text-showing operators in a content stream, as mutool
// decodes it; `path` is mutool's path to the stream.
int showOperatorsPerMutool(const std::string& file, const std::string& path) {
    const auto shown = testing::runCommand({"/usr/bin/mutool", "show", "-b", file, path});
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    const std::regex showOperator(R"((^|[\s\])>])(Tj|TJ|'|")(?=\s|$|[/\[(<]))");
    return static_cast<int>(std::distance(
        std::sregex_iterator(shown.out.begin(), shown.out.end(), showOperator), std::sregex_iterator()));
}

class ViewerTest : public ::testing::Test {
protected:
    host::Viewer& viewer() { return loaded_.host().viewer(); }

    Handle openView(const std::string& file) {
        document_ = loaded_.host().documents().open(fixture(file));
        return viewer().openView(document_);
    }

    // Enumerates the current selection of `view` through PDModel 223 and
    // answers the base font name of each piece, subset tag dropped.
    Names selectedFontNames(Handle view, Collected collected = {}) {
        const host::Callback callback = makeCallback(&collectFont);
        callHost<host::op::TextSelectEnumFonts>(callHost<host::op::ViewSelection>(view), callback, &collected);
        callHost<host::op::DestroyCallback>(callback);
        EXPECT_TRUE(collected.flagsGiven);
        fontsSeen_ = collected.fonts;
        Names names;
        for (const Handle font : collected.fonts) {
            const std::string base = loaded_.host().fonts().font(font).dict.getKey("/BaseFont").getName();
            names.push_back(base.substr(base.find('+') + 1));
        }
        return names;
    }

    testing::LoadedPlugin loaded_;
    Handle document_ = host::kNoHandle;
    std::vector<Handle> fontsSeen_;
};

TEST_F(ViewerTest, TheActiveViewNamesItsDocumentUntilItIsClosed) {
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), host::kNoHandle);
    EXPECT_EQ(raisedCode([] { callHost<host::op::ViewDocument>(host::kNoHandle); }), host::kErrBadHandle);

    const Handle first = openView("latex.pdf");
    const Handle firstDocument = document_;
    EXPECT_EQ(host::HandleRegistry<int>::kindOf(first), host::HandleKind::View);
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), first);
    EXPECT_EQ(callHost<host::op::ViewDocument>(first), firstDocument);

    const Handle second = openView("groff-gs.pdf");
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), second);
    EXPECT_EQ(callHost<host::op::ViewDocument>(second), document_);
    viewer().activate(first);
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), first);

    viewer().closeView(first);
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), second) << "the view active before it takes over";
    EXPECT_EQ(raisedCode([&] { callHost<host::op::ViewDocument>(first); }), host::kErrBadHandle);
    EXPECT_EQ(raisedCode([&] { callHost<host::op::ViewSelectionType>(first); }), host::kErrBadHandle);
    viewer().closeView(second);
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), host::kNoHandle);
}

TEST_F(ViewerTest, ADocumentClosedUnderItsViewTakesTheViewAndSelectionWithIt) {
    const Handle view = openView("latex.pdf");
    viewer().selectText(view, {{0, 0}});
    const Handle selection = callHost<host::op::ViewSelection>(view);
    loaded_.host().documents().close(document_);

    EXPECT_EQ(callHost<host::op::ActiveDocView>(), host::kNoHandle);
    EXPECT_EQ(raisedCode([&] { callHost<host::op::ViewDocument>(view); }), host::kErrBadHandle);
    EXPECT_EQ(raisedCode([&] { selectedFontNames(view); }), host::kErrBadHandle);
    Collected collected;
    const host::Callback callback = makeCallback(&collectFont);
    EXPECT_EQ(raisedCode([&] { callHost<host::op::TextSelectEnumFonts>(selection, callback, &collected); }),
              host::kErrBadHandle);
    EXPECT_TRUE(collected.fonts.empty());

    const Handle reopened = openView("latex.pdf");
    EXPECT_NE(reopened, view);
    EXPECT_EQ(callHost<host::op::ActiveDocView>(), reopened);
}

TEST_F(ViewerTest, TheSelectionAnswersItsKindAndEachNewSelectionANewHandle) {
    const Handle view = openView("latex.pdf");
    EXPECT_EQ(callHost<host::op::ViewSelectionType>(view), host::kNullAtom);
    EXPECT_EQ(callHost<host::op::ViewSelection>(view), host::kNoHandle);

    viewer().selectText(view, {{1, 1}, {0, 0}, {1, 1}});
    EXPECT_EQ(callHost<host::op::ViewSelectionType>(view), callHost<host::op::AtomFromString>("Text"));
    const Handle text = callHost<host::op::ViewSelection>(view);
    EXPECT_EQ(host::HandleRegistry<int>::kindOf(text), host::HandleKind::Selection);
    EXPECT_EQ(callHost<host::op::ViewSelection>(view), text) << "asking again changes nothing";
    EXPECT_EQ(viewer().selectedText(text).pages, (std::vector<host::PageRange>{{0, 1}})) << "joined into one range";

    viewer().selectOther(view, "Annotation");
    EXPECT_EQ(callHost<host::op::ViewSelectionType>(view), callHost<host::op::AtomFromString>("Annotation"));
    const Handle annotation = callHost<host::op::ViewSelection>(view);
    Collected collected;
    const host::Callback callback = makeCallback(&collectFont);
    EXPECT_EQ(raisedCode([&] { callHost<host::op::TextSelectEnumFonts>(text, callback, &collected); }),
              host::kErrBadHandle)
        << "a replaced selection is stale";
    EXPECT_EQ(raisedCode([&] { callHost<host::op::TextSelectEnumFonts>(annotation, callback, &collected); }),
              host::kErrBadArgument);
    EXPECT_TRUE(collected.fonts.empty());

    viewer().clearSelection(view);
    EXPECT_EQ(callHost<host::op::ViewSelectionType>(view), host::kNullAtom);
    EXPECT_EQ(callHost<host::op::ViewSelection>(view), host::kNoHandle);
}

TEST_F(ViewerTest, ASelectionIsCheckedAgainstItsDocument) {
    const Handle view = openView("latex.pdf");
    EXPECT_EQ(raisedCode([&] { viewer().selectText(view, {{2, 2}}); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().selectText(view, {{-1, 0}}); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().selectText(view, {{1, 0}}); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().selectText(view, {{0, std::numeric_limits<int>::max()}}); }),
              host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().selectText(view, {}); }), host::kErrBadArgument);
    const host::UserRect notANumber{0, 0, std::numeric_limits<double>::quiet_NaN(), 1};
    EXPECT_EQ(raisedCode([&] { viewer().selectText(view, {{0, 0}}, notANumber); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().selectOther(view, "Text"); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().selectOther(view, ""); }), host::kErrBadArgument);
    EXPECT_EQ(raisedCode([&] { viewer().openView(host::kNoHandle); }), host::kErrBadHandle);
    EXPECT_EQ(callHost<host::op::ViewSelection>(view), host::kNoHandle) << "a refused selection leaves none";
}

TEST_F(ViewerTest, AlertsGoToStandardErrorOneLineEachAndAreKept) {
    testing::StderrCapture capture;
    callHost<host::op::AlertNote>("PDModel 84: page index 7 is outside the document's 3 pages");
    callHost<host::op::AlertNote>("");
    EXPECT_EQ(raisedCode([] { callHost<host::op::AlertNote>(nullptr); }), host::kErrBadArgument);

    EXPECT_EQ(capture.text(), "ortheo: PDModel 84: page index 7 is outside the document's 3 pages\northeo: \n");
    EXPECT_EQ(viewer().alerts(), (Names{"PDModel 84: page index 7 is outside the document's 3 pages", ""}));
}

TEST_F(ViewerTest, AWholePageReportsTheFontOfEveryTextOperatorInContentOrder) {
    const Handle view = openView("latex.pdf");
    viewer().selectText(view, {{0, 0}});
    const Names names = selectedFontNames(view);
    EXPECT_EQ(names, (Names{"CMBX12", "CMR10", "CMBX10", "CMR10", "CMTI10", "CMR10", "CMMI10", "CMR7",
                            "CMR10", "CMEX10", "CMMI7", "CMMI10", "CMMI7", "CMR10", "CMR10"}));
    EXPECT_EQ(static_cast<int>(names.size()), showOperatorsPerMutool(fixture("latex.pdf"), "pages/1/Contents"));
    EXPECT_EQ(fontsSeen_[1], fontsSeen_[3]) << "one font dictionary, one handle";
}

TEST_F(ViewerTest, TextInsideAFormXObjectIsFoundWhereTheFormIsDrawn) {
    const Handle view = openView("latex.pdf");
    viewer().selectText(view, {{1, 1}});
    const Names names = selectedFontNames(view);
    EXPECT_EQ(names, (Names{"CMTT10", "CMR10", "Times-Bold", "Times-Bold", "Times-Roman", "Times-Roman",
                            "Times-Bold", "Times-Roman", "Times-Italic", "Times-Roman", "Helvetica",
                            "Times-Roman", "CMR10"}));
    const std::string file = fixture("latex.pdf");
    EXPECT_EQ(static_cast<int>(names.size()), showOperatorsPerMutool(file, "pages/2/Contents") +
                                                  showOperatorsPerMutool(file, "pages/2/Resources/XObject/Im1"));

    // "Helvetica" of the placed page, as pdftotext -bbox places it: x 220.0
    // to 231.8, y 182.9 to 185.0 from the top of the 792-point page.
    viewer().selectText(view, {{1, 1}}, host::UserRect{219.5, 606.5, 232.0, 609.5});
    EXPECT_EQ(selectedFontNames(view), Names{"Helvetica"});
}

TEST_F(ViewerTest, ARectangleTakesInOnlyTheTextThatStartsInsideIt) {
    const Handle view = openView("latex.pdf");
    // Per pdftotext -bbox, from the top of the 792-point page: "emphasis" x
    // 219.8 to 259.0, "bold," x 191.7 to 216.5, both y 149.7 to 158.5. The
    // comma of "bold," is drawn in the roman font.
    viewer().selectText(view, {{0, 0}}, host::UserRect{219.5, 633.0, 259.5, 642.0});
    EXPECT_EQ(selectedFontNames(view), Names{"CMTI10"});
    viewer().selectText(view, {{0, 0}}, host::UserRect{216.5, 642.0, 191.5, 633.0});
    EXPECT_EQ(selectedFontNames(view), (Names{"CMBX10", "CMR10"}));

    viewer().selectText(view, {{0, 0}}, host::UserRect{0, 0, 10, 10});
    EXPECT_TRUE(selectedFontNames(view).empty());
}

TEST_F(ViewerTest, SeveralPagesAreEnumeratedInPageOrder) {
    const Handle view = openView("groff-gs.pdf");
    viewer().selectText(view, {{1, 1}, {0, 0}});
    EXPECT_EQ(selectedFontNames(view),
              (Names{"Times-Bold", "Times-Bold", "Times-Roman", "Times-Roman", "Times-Bold", "Times-Roman",
                     "Times-Italic", "Times-Roman", "Helvetica", "Times-Roman",
                     "Times-Roman", "Times-Roman", "Courier", "Times-Roman"}));

    // "italic" per pdftotext -bbox: x 206.9 to 227.4, y 155.9 to 162.8 from the top of 842.
    viewer().selectText(view, {{0, 1}}, host::UserRect{206.0, 678.0, 228.0, 687.0});
    EXPECT_EQ(selectedFontNames(view), Names{"Times-Italic"});
}

TEST_F(ViewerTest, TheEnumerationStopsWhenTheProcedureAnswersZero) {
    const Handle view = openView("latex.pdf");
    viewer().selectText(view, {{0, 1}});
    Collected stopAtThird;
    stopAtThird.stopAfter = 3;
    EXPECT_EQ(selectedFontNames(view, stopAtThird), (Names{"CMBX12", "CMR10", "CMBX10"}));

    EXPECT_EQ(raisedCode([&] {
                  callHost<host::op::TextSelectEnumFonts>(callHost<host::op::ViewSelection>(view),
                                                          host::Callback{0x1234}, nullptr);
              }),
              host::kErrBadHandle);
}

}  // namespace
}  // namespace ortheo
