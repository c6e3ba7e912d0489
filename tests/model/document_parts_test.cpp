// The parts that keep something of a document, built on their own with the
// documents they take: closing a document ends what each holds of it, in
// the order they were given, and what is left of it then raises.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "cos/cos_objects.h"
#include "model/documents.h"
#include "model/fonts.h"
#include "model/pages.h"
#include "support/raised.h"

namespace ortheo {
namespace {

using host::Handle;
using testing::raisedText;

// Records when it is told that a document closed.
class Recorder final : public host::DocumentUser {
public:
    Recorder(std::vector<std::string>& told, std::string name) : told_(told), name_(std::move(name)) {}
    void forgetDocument(Handle) override { told_.push_back(name_); }

private:
    std::vector<std::string>& told_;
    std::string name_;
};

TEST(DocumentParts, ClosingADocumentEndsWhatEachPartHeldOfIt) {
    host::Documents documents;
    host::CosObjects cos(documents);
    host::Pages pages(documents);
    host::Fonts fonts(documents);
    std::vector<std::string> told;
    Recorder first(told, "first");
    Recorder last(told, "last");
    documents.forgetOnClose(first);
    documents.forgetOnClose(pages);
    documents.forgetOnClose(cos);
    documents.forgetOnClose(fonts);
    documents.forgetOnClose(last);

    const Handle document = documents.create();
    const Handle kept = documents.create();
    const host::Object catalog = cos.wrap(document, documents.get(document).pdf->getRoot());
    const host::Object other = cos.wrap(kept, documents.get(kept).pdf->getRoot());
    const Handle page = pages.create(document, -1, {0, 792 << 16, 612 << 16, 0});
    EXPECT_EQ(pages.count(document), 1);

    documents.close(document);
    EXPECT_EQ(told, (std::vector<std::string>{"first", "last"}));
    EXPECT_EQ(pages.acquiredCount(), 0u);
    EXPECT_EQ(raisedText([&] { cos.unwrap(catalog); }).rfind("Expected a Cos object, got stale handle", 0), 0u);
    EXPECT_EQ(raisedText([&] { pages.get(page); }).rfind("Expected a page, got stale handle", 0), 0u);
    EXPECT_EQ(raisedText([&] { pages.count(document); }).rfind("Expected a document, got stale handle", 0), 0u);
    EXPECT_TRUE(cos.unwrap(other).isDictionary()) << "the other document keeps its objects";
}

}  // namespace
}  // namespace ortheo
