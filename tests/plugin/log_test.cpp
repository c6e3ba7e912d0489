// The diagnostic log's exact bytes on standard error.

#include <gtest/gtest.h>

#include <string>

#include "plugin/log.h"
#include "support/stderr_capture.h"

namespace ortheo {
namespace {

using testing::StderrCapture;

class LogErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        setLogOptionsForTesting(kLogErrors);
        resetLogStatusForTesting();
    }
    void TearDown() override { setLogOptionsForTesting(0); }
};

TEST_F(LogErrorTest, OffWritesNothingAndKeepsTheStatus) {
    setLogOptionsForTesting(0);
    StderrCapture captured;
    EXPECT_EQ(LogError(kCommandModule, 66, "There is no active document to process."), 0);
    EXPECT_EQ(captured.text(), "");
    EXPECT_EQ(logStatus(), 0u);
}

TEST_F(LogErrorTest, WritesTheMessageTheFileAndTheLine) {
    StderrCapture captured;
    EXPECT_EQ(LogError(kCommandModule, 66, "There is no active document to process."), 1);
    EXPECT_EQ(captured.text(),
              "Error: There is no active document to process. f:\\pdf\\pdf\\src\\zelta\\convert(66)\n");
    EXPECT_EQ(logStatus(), kLogErrors);
}

TEST_F(LogErrorTest, WithoutAFileNothingFollowsTheMessage) {
    StderrCapture captured;
    EXPECT_EQ(LogError(nullptr, 12, "first"), 1);
    EXPECT_EQ(LogError("", 12, "second"), 1);
    EXPECT_EQ(captured.text(), "Error: firstError: second");
}

TEST_F(LogErrorTest, ExpandsTheFormatFromTheArguments) {
    StderrCapture captured;
    LogError(kCMapModule, 172, "Exception '%s' while Read ToUnicode Table", "Bad 100% input");
    EXPECT_EQ(captured.text(),
              "Error: Exception 'Bad 100% input' while Read ToUnicode Table "
              "f:\\pdf\\pdf\\src\\tabulorum\\pdf\\pdf_cmap(172)\n");
}

TEST_F(LogErrorTest, CutsAMessageLongerThan999Characters) {
    const std::string longText(5000, 'x');
    StderrCapture captured;
    LogError(nullptr, 0, "%s", longText.c_str());
    EXPECT_EQ(captured.text(), "Error: " + std::string(999, 'x'));
}

}  // namespace
}  // namespace ortheo
