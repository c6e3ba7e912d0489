#include "app/argument_errors.h"

#include <regex>
#include <string_view>

namespace host {
namespace {

// The subcommand being parsed, for the help it points to: "ortheo report --help".
std::string helpFor(const CLI::App& app) {
    const std::vector<CLI::App*> parsed = app.get_subcommands();
    return "see ortheo " + (parsed.empty() ? "" : parsed.front()->get_name() + " ") + "--help";
}

std::string leftOver(const std::string& argument, bool inSubcommand) {
    if (!argument.empty() && argument[0] == '-') return "unknown option '" + argument + "'";
    return (inSubcommand ? "unexpected argument '" : "unknown subcommand '") + argument + "'";
}

std::string optionWithEmptyValue(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_positional() || option->get_items_expected_min() == 0) continue;
        for (const std::string& value : option->results()) {
            if (value.empty()) return option->get_name() + " needs a value";
        }
    }
    return "";
}

}  // namespace

std::string emptyOptionValue(int argc, const char* const* argv) {
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") break;
        if (argument.size() > 3 && argument.substr(0, 2) == "--" && argument.find('=') == argument.size() - 1) {
            return std::string(argument.substr(0, argument.size() - 1)) + " needs a value";
        }
    }
    return "";
}

std::string describeParseError(const CLI::App& app, const CLI::ParseError& error) {
    const std::string text = error.what();
    // "--password: 1 required TEXT missing": the option came last, without its value.
    static const std::regex missingValue("(-[^:]+): [0-9]+ required [A-Z]+ missing");
    std::smatch match;
    if (std::regex_match(text, match, missingValue)) return match[1].str() + " needs a value";
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line[0] >= 'A' && line[0] <= 'Z') line[0] = static_cast<char>(line[0] - 'A' + 'a');
    return line + "; " + helpFor(app);
}

std::string unusedArguments(const CLI::App& app) {
    const std::vector<CLI::App*> parsed = app.get_subcommands();
    if (parsed.empty()) {
        const std::vector<std::string> rest = app.remaining();
        if (rest.empty()) return "give a command: report, fonts, menus, run-menu or plugin-info; see ortheo --help";
        return leftOver(rest.front(), false) + "; see ortheo --help";
    }
    const CLI::App& command = *parsed.front();
    if (const std::vector<std::string> rest = command.remaining(); !rest.empty()) {
        return leftOver(rest.front(), true) + "; " + helpFor(app);
    }
    return optionWithEmptyValue(command);
}

}  // namespace host
