// What the README and the manual page show a person: every example command is run as they would
// run it, against a scheduler of the test's own, and must exit as the documentation says and print
// what it shows. The examples are read from the files, so neither can drift from the program.
#include "support/CupsQueueTest.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const std::string kSource = VELMORA_SOURCE_DIR;
// The sample press's installed files the manual page's examples name, and where the test has
// them from the build.
const std::vector<std::pair<std::string, std::string>> kInstalledFiles = {
    {"/usr/share/velmora/SampleJob.pdf", std::string(VELMORA_PRESS_SOURCE) + "/SampleJob.pdf"},
    {"/usr/share/ppd/velmora/VelmoraPress.ppd", VELMORA_QUEUE_PPD},
    {"/usr/lib/velmora/Velmora.plugin", VELMORA_PLUGIN_DIR},
};

struct CodeBlock {
    std::string info; // what follows the opening fence: "sh", "sh root", "console", ...
    std::vector<std::string> lines;
    int firstLine = 0; // of the file, for messages
};

// The fenced code blocks of a Markdown file, also those indented under a list item.
std::vector<CodeBlock> codeBlocksOf(const std::string& file) {
    std::ifstream in(file);
    std::vector<CodeBlock> blocks;
    std::optional<CodeBlock> open;
    std::size_t indent = 0;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        auto start = line.find_first_not_of(' ');
        bool fence = start != std::string::npos && line.compare(start, 3, "```") == 0;
        if (fence && !open) {
            open = CodeBlock{line.substr(start + 3), {}, number + 1};
            indent = start;
        } else if (fence) {
            blocks.push_back(*open);
            open.reset();
        } else if (open) {
            open->lines.push_back(line.size() >= indent ? line.substr(indent) : std::string());
        }
    }
    return blocks;
}

struct Example {
    std::string command;
    int status = 0;                 // the exit status the documentation gives
    std::vector<std::string> shown; // the output a console block shows, cut short with "…"
    std::string where;
};

// "velmora panel --set NumCopies=Many   # exits 1" -> exit status 1.
int documentedStatus(const std::string& command) {
    std::smatch match;
    static const std::regex exits("#\\s*exits\\s+([0-9]+)\\s*$");
    return std::regex_search(command, match, exits) ? std::stoi(match[1]) : 0;
}

std::vector<Example> examplesOf(const CodeBlock& block, const std::string& file) {
    std::vector<Example> examples;
    bool console = block.info == "console";
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        const std::string& line = block.lines[i];
        std::string where = file + ":" + std::to_string(block.firstLine + static_cast<int>(i));
        if (console && line.starts_with("$ ")) {
            examples.push_back({line.substr(2), documentedStatus(line), {}, where});
        } else if (console) {
            if (examples.empty())
                ADD_FAILURE() << where << ": output before any command";
            else
                examples.back().shown.push_back(line);
        } else if (!line.empty() && !line.starts_with("#")) {
            examples.push_back({line, documentedStatus(line), {}, where});
        }
    }
    return examples;
}

// Whether a shown line stands for an actual one: "…" within it is any text.
bool lineMatches(const std::string& shown, const std::string& actual) {
    static const std::string ellipsis = "…";
    std::vector<std::string> pieces;
    for (std::size_t from = 0;;) {
        auto at = shown.find(ellipsis, from);
        pieces.push_back(
            shown.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos)
            break;
        from = at + ellipsis.size();
    }
    if (pieces.size() == 1)
        return shown == actual;
    if (!actual.starts_with(pieces.front()) || !actual.ends_with(pieces.back()) ||
        actual.size() < pieces.front().size() + pieces.back().size())
        return false;
    std::size_t at = pieces.front().size();
    std::size_t end = actual.size() - pieces.back().size();
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
        at = actual.find(pieces[i], at);
        if (at == std::string::npos || at + pieces[i].size() > end)
            return false;
        at += pieces[i].size();
    }
    return true;
}

// Whether the output shown, cut short, is what was printed: its lines in order, a line "…"
// skipping any number of lines.
bool outputMatches(const std::vector<std::string>& shown, const std::string& output) {
    std::vector<std::string> actual;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        actual.push_back(line);
    std::size_t next = 0;
    bool skipping = false;
    for (const auto& line : shown) {
        if (line == "…") {
            skipping = true;
            continue;
        }
        while (next < actual.size() && !lineMatches(line, actual[next]) && skipping)
            ++next;
        if (next == actual.size() || !lineMatches(line, actual[next]))
            return false;
        ++next;
        skipping = false;
    }
    return true;
}

TEST(DocumentedExamplesMatcherTest, ShownOutputIsFoundInOrderAndNothingElse) {
    const std::string output = "{\n  \"job\": 1,\n  \"folder\": \"/tmp/x/velmora-jobs/job-1\",\n"
                               "  \"a\": 2\n}\n";
    struct Case {
        std::vector<std::string> shown;
        bool matches;
    } cases[] = {
        {{"{", "  \"job\": 1,"}, true},
        {{"{", "  \"folder\": \"…/velmora-jobs/job-1\","}, false}, // a line was left out
        {{"{", "…", "  \"folder\": \"…/velmora-jobs/job-1\","}, true},
        {{"{", "…", "  \"a\": 2", "}"}, true},
        {{"…", "  \"job\": 2,"}, false},
        {{"{", "  \"job\": 1,", "  \"folder\": \"…/job-2\","}, false},
        {{"}"}, false},
        {{"…", "  \"folder\": \"/tmp/…x…/velmora-jobs/job-1\","}, true},
        {{"…", "  \"folder\": \"/tmp/…y…/velmora-jobs/job-1\","}, false},
        {{"…", "}", "…", "{"}, false}, // past the end
    };
    for (const auto& c : cases) {
        std::string text;
        for (const auto& line : c.shown)
            text += line + "\\n";
        EXPECT_EQ(outputMatches(c.shown, output), c.matches) << text;
    }
}

class DocumentedExamplesTest : public CupsQueueTest {
protected:
    fs::path sandbox = dir / "examples";
    int administratorsCommands = 0; // velmora commands found in administrators' blocks

    void SetUp() override {
        CupsQueueTest::SetUp();
        if (IsSkipped())
            return;
        addQueue("VelmoraPress", queuePpd("VelmoraPress"));
        fs::create_directories(sandbox / "home");
        fs::copy_file(kSample, sandbox / "report.pdf");
        fs::create_directory_symlink(kSource + "/resources", sandbox / "resources");
        for (const auto& [installed, built] : kInstalledFiles) {
            fs::path link = sandbox / "installed" / fs::path(installed).relative_path();
            fs::create_directories(link.parent_path());
            fs::create_symlink(built, link);
        }
    }

    // The command with each installed file it names in the sandbox's stand-in for it.
    std::string withInstalledFilesFromTheBuild(const std::string& command) {
        std::string result;
        for (std::size_t at = 0; at < command.size();) {
            bool named = false;
            for (const auto& [installed, built] : kInstalledFiles)
                if (command.compare(at, installed.size(), installed) == 0) {
                    result += (sandbox / "installed").string() + installed;
                    at += installed.size();
                    named = true;
                    break;
                }
            if (!named)
                result += command[at++];
        }
        return result;
    }

    // Runs one documented command as a person at a terminal without a display would.
    CommandResult runExample(std::string command) {
        command = withInstalledFilesFromTheBuild(command);
        std::string path =
            fs::path(VELMORA_EXECUTABLE).parent_path().string() + ":" + std::getenv("PATH");
        std::string shell = "cd " + shellQuote(sandbox) + " && env -u DISPLAY -u WAYLAND_DISPLAY " +
                            "HOME=" + shellQuote(sandbox / "home") + " PATH=" + shellQuote(path) +
                            " bash -c " + shellQuote(command) + " 2>" + shellQuote(dir / "err");
        return runShell(shell);
    }

    // Runs every example of a file in its order; returns how many there were.
    int runExamplesOf(const std::string& name) {
        int count = 0;
        for (const auto& block : codeBlocksOf(kSource + "/" + name)) {
            static const std::set<std::string> known{"sh",       "console", "sh root",
                                                     "sh setup", "xml",     "text"};
            EXPECT_TRUE(known.contains(block.info))
                << name << ":" << block.firstLine - 1 << ": a code block that says \"" << block.info
                << "\" is not known to be an example or not";
            if (block.info == "sh root")
                checkAdministratorsBlock(block, name);
            else if (block.info == "sh setup")
                checkSetUpBlock(block, name);
            if (block.info != "sh" && block.info != "console")
                continue;
            for (const auto& example : examplesOf(block, name)) {
                ++count;
                auto result = runExample(example.command);
                EXPECT_EQ(result.status, example.status)
                    << example.where << ": " << example.command << "\n"
                    << errors() << result.out.substr(0, 2000);
                EXPECT_TRUE(outputMatches(example.shown, result.out))
                    << example.where << ": " << example.command << " printed other than it shows:\n"
                    << result.out.substr(0, 3000);
            }
        }
        return count;
    }

    // An administrator's commands change the system: they are not run, but must be shell that
    // parses, and each velmora command in them one that velmora knows.
    void checkAdministratorsBlock(const CodeBlock& block, const std::string& name) {
        std::string text;
        for (const auto& line : block.lines)
            text += line + "\n";
        EXPECT_EQ(runExample("bash -n <<'VELMORA_BLOCK'\n" + text + "VELMORA_BLOCK").status, 0)
            << name << ":" << block.firstLine << ": not shell\n"
            << errors();
        // Line by line: a command starts a line or follows |, ; or &.
        std::regex velmora("(^|[|;&]\\s*)velmora ([a-z-]+)");
        int named = 0;
        for (const auto& line : block.lines)
            for (std::sregex_iterator it(line.begin(), line.end(), velmora), end; it != end;
                 ++it, ++named)
                EXPECT_EQ(runVelmora(std::string((*it)[2]) + " --help").status, 0)
                    << name << ":" << block.firstLine << ": velmora " << (*it)[2];
        administratorsCommands += named;
    }

    // The set-up commands are what CI runs; the scripts they name must be there to run.
    void checkSetUpBlock(const CodeBlock& block, const std::string& name) {
        for (const auto& line : block.lines) {
            if (!line.starts_with("./"))
                continue;
            std::string script = kSource + line.substr(1, line.find(' ') - 1);
            EXPECT_EQ(::access(script.c_str(), X_OK), 0) << name << ": " << script;
        }
    }
};

TEST_F(DocumentedExamplesTest, TheReadmesExamplesRunAsShown) {
    EXPECT_GE(runExamplesOf("README.md"), 10);
    // The administrator's section names velmora commands (hold, refresh-lists): each was checked.
    EXPECT_GE(administratorsCommands, 2);
}

TEST_F(DocumentedExamplesTest, TheManualPagesExamplesRunAsDocumented) {
    EXPECT_GE(runExamplesOf("docs/velmora.1.md"), 15);
}

// The commands of the manual page are those velmora knows, each with the options it takes.
TEST(DocumentedCommandsTest, TheManualPageDocumentsEveryCommandWithTheOptionsItTakes) {
    std::set<std::string> listed;
    std::string usage = runVelmora("--help").out;
    std::regex command("\n  velmora ([a-z-]+)");
    for (std::sregex_iterator it(usage.begin(), usage.end(), command), end; it != end; ++it)
        listed.insert((*it)[1]);

    std::ifstream in(kSource + "/docs/velmora.1.md");
    std::set<std::string> documented;
    bool inCommands = false;
    std::regex synopsis("^ *(\\| )?\\*\\*velmora ([a-z-]+)");
    std::regex option("\\\\-\\\\-([a-z-]+)");
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("# "))
            inCommands = line == "# COMMANDS";
        std::smatch match;
        if (!inCommands || !std::regex_search(line, match, synopsis))
            continue;
        std::string name = match[2];
        documented.insert(name);
        std::string help = runVelmora(name + " --help").out;
        for (std::sregex_iterator it(line.begin(), line.end(), option), end; it != end; ++it)
            EXPECT_NE(help.find("--" + std::string((*it)[1])), std::string::npos)
                << "velmora " << name << " --help does not name the documented --" << (*it)[1];
    }
    EXPECT_EQ(documented, listed);
}

} // namespace
} // namespace velmora::test
