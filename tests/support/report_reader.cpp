#include "support/report_reader.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <functional>
#include <sstream>

#include "support/run_command.h"

namespace ortheo::testing {
namespace {

// Hands each operator of a page's content, with its operands, to `onOperator`.
class OperatorWalker : public QPDFObjectHandle::ParserCallbacks {
public:
    using Visit = std::function<void(const std::string&, std::vector<QPDFObjectHandle>&)>;
    explicit OperatorWalker(Visit visit) : visit_(std::move(visit)) {}

    void handleObject(QPDFObjectHandle object, size_t, size_t) override {
        if (object.isOperator()) {
            visit_(object.getOperatorValue(), operands_);
            operands_.clear();
        } else {
            operands_.push_back(object);
        }
    }
    void handleEOF() override {}

private:
    Visit visit_;
    std::vector<QPDFObjectHandle> operands_;
};

void walkPage(const std::string& path, int pageIndex, OperatorWalker::Visit visit) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    OperatorWalker walker(std::move(visit));
    QPDFPageObjectHelper(pdf.getAllPages().at(static_cast<std::size_t>(pageIndex))).parseContents(&walker);
}

}  // namespace

std::vector<ShownString> shownStrings(const std::string& path, int pageIndex) {
    std::vector<ShownString> shown;
    ShownString current;
    walkPage(path, pageIndex, [&](const std::string& op, std::vector<QPDFObjectHandle>& operands) {
        if (op == "Tf" && operands.size() == 2) current.font = operands[0].getName();
        if (op == "Tm" && operands.size() == 6) {
            current.x = operands[4].getNumericValue();
            current.y = operands[5].getNumericValue();
        }
        if (op == "Tj" && operands.size() == 1) {
            current.text = operands[0].getStringValue();
            shown.push_back(current);
        }
    });
    return shown;
}

std::vector<StrokedRectangle> strokedRectangles(const std::string& path, int pageIndex) {
    std::vector<StrokedRectangle> rectangles;
    std::vector<StrokedRectangle> pending;
    double lineWidth = 1;
    walkPage(path, pageIndex, [&](const std::string& op, std::vector<QPDFObjectHandle>& operands) {
        if (op == "w" && operands.size() == 1) lineWidth = operands[0].getNumericValue();
        if (op == "re" && operands.size() == 4) {
            pending.push_back({operands[0].getNumericValue(), operands[1].getNumericValue(),
                               operands[2].getNumericValue(), operands[3].getNumericValue(), lineWidth});
        }
        if (op == "S") rectangles.insert(rectangles.end(), pending.begin(), pending.end());
        if (op == "S" || op == "n" || op == "f") pending.clear();
        if (op == "Q") lineWidth = 1;
    });
    return rectangles;
}

std::vector<std::string> outlineLines(const std::string& path) {
    const CommandResult listed = runCommand({"/usr/bin/mutool", "show", path, "outline"});
    std::vector<std::string> lines;
    std::istringstream text(listed.out);
    for (std::string line; std::getline(text, line);) {
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (open == std::string::npos || close <= open) continue;
        const std::size_t depth = open - 2;  // a marker, then one tab a level
        std::string entry = std::string(2 * depth, ' ') + line.substr(open + 1, close - open - 1);
        const std::size_t page = line.find("#page=", close);
        if (page != std::string::npos) {
            entry += " -> page " + std::to_string(std::stoi(line.substr(page + 6)));
        }
        lines.push_back(entry);
    }
    return lines;
}

int pageCount(const std::string& path) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    return static_cast<int>(pdf.getAllPages().size());
}

}  // namespace ortheo::testing
