#include "support/run_command.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/sample_pdf.h"

namespace ortheo::testing {
namespace {

std::string nextOutputPath() {
    static int counter = 0;
    return temporaryPath("command-" + std::to_string(++counter) + ".out");
}

[[noreturn]] void execute(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

int statusOf(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Writes all of `bytes`, or as much as the reader takes before it closes.
void feed(int descriptor, const std::string& bytes) {
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    close(descriptor);
    std::signal(SIGPIPE, previous);
}

}  // namespace

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

CommandResult runCommand(const std::vector<std::string>& arguments, const std::optional<std::string>& standardInput) {
    const std::string outPath = nextOutputPath();
    const std::string errPath = outPath + ".err";
    int input[2] = {-1, -1};
    if (standardInput && pipe(input) != 0) return {};

    const pid_t child = fork();
    if (child == 0) {
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) _exit(127);
        if (standardInput) {
            dup2(input[0], STDIN_FILENO);
            close(input[0]);
            close(input[1]);
        } else if (!freopen("/dev/null", "r", stdin)) {
            _exit(127);
        }
        execute(arguments);
    }
    if (standardInput) {
        close(input[0]);
        feed(input[1], *standardInput);
    }
    const int status = statusOf(child);
    return {status, fileBytes(outPath), fileBytes(errPath)};
}

CommandResult runCommandOnTerminal(const std::vector<std::string>& arguments) {
    const std::string outPath = nextOutputPath();
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) return {};
    const std::string side = ptsname(terminal);

    const pid_t child = fork();
    if (child == 0) {
        const int errors = open(side.c_str(), O_RDWR | O_NOCTTY);
        if (errors < 0 || !freopen(outPath.c_str(), "w", stdout) || !freopen("/dev/null", "r", stdin)) _exit(127);
        termios mode{};
        tcgetattr(errors, &mode);
        cfmakeraw(&mode);
        tcsetattr(errors, TCSANOW, &mode);
        dup2(errors, STDERR_FILENO);
        close(errors);
        close(terminal);
        execute(arguments);
    }
    // Read until the program's side is closed: the read then fails.
    std::string received;
    char chunk[4096];
    for (ssize_t got; (got = read(terminal, chunk, sizeof chunk)) > 0;) {
        received.append(chunk, static_cast<std::size_t>(got));
    }
    close(terminal);
    const int status = statusOf(child);
    return {status, fileBytes(outPath), received};
}

}  // namespace ortheo::testing
