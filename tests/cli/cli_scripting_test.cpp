// SPDX-License-Identifier: Apache-2.0
// quorvane-cli as scripts use it: the export output and its refusals, standard output through a
// pipe or failing, "--", per-command help and --version, valid UTF-8 JSON with lossless path
// bytes, escaped text lines, folders with and without -r, --dry-run touching nothing, --defaults
// applying the program's saved batch settings, and a user who may write a shared deck but does
// not own it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <regex>

#include <nlohmann/json.hpp>

#include "change/change_engine.h"
#include "change/defaults_store.h"
#include "change/saved_defaults.h"
#include "document/document_format.h"
#include "tests/support/document_reads.h"
#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"
#include "tests/support/package_builder.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

std::string joined(const std::vector<std::string>& arguments)
{
    std::string shown;
    for (const auto& argument : arguments) shown += argument + " ";
    return shown;
}

// Everything that a read must leave as it was: the bytes, both exact instants, the attribute word.
struct FileState {
    std::string bytes;
    timespec access{}, write{};
    fileinfo::AttributeWord attributes = 0;
    bool operator==(const FileState& other) const
    {
        return bytes == other.bytes && access.tv_sec == other.access.tv_sec && access.tv_nsec == other.access.tv_nsec &&
               write.tv_sec == other.write.tv_sec && write.tv_nsec == other.write.tv_nsec &&
               attributes == other.attributes;
    }
};

FileState stateOf(const std::string& path)
{
    const auto snapshot = fileinfo::ReadFileAttributeData(path).value();
    // Read without moving the access time: relatime would move it after any change of the ctime.
    std::string bytes;
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME); fd >= 0) {
        char buffer[65536];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, std::size_t(n));
        ::close(fd);
    }
    return {std::move(bytes), snapshot.exactLastAccess, snapshot.exactLastWrite, snapshot.attributes};
}

std::string bytesOfHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<std::string> jsonPaths(const std::string& out)
{
    std::vector<std::string> paths;
    for (const auto& file : nlohmann::json::parse(out)) paths.push_back(file["path"]);
    return paths;
}

TEST_F(Cli, ExportWritesTheCsvWhereAskedAndRefusesOutputsThatWouldHarm)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string deck = copyOf("42474-1.ppt");
    const std::string other = copyOf("SmartArt.pptx");
    const std::string existing = (scratch_.path() / "old.csv").string();
    writeFileBytes(existing, "keep me");
    const std::string fresh = (scratch_.path() / "new.csv").string();
    const FileState deckBefore = stateOf(deck), otherBefore = stateOf(other);
    const struct {
        std::vector<std::string> arguments;
        int status;
        int stdoutLines;  // CSV lines on standard output
    } cases[] = {
        {{"export", deck, other}, 0, 3},  // once replaced deck with the CSV of other
        {{"export", "-o", "-", deck}, 0, 2},
        {{"export", "-o", other, deck}, 2, 0},
        {{"export", "--output=" + deck, deck}, 2, 0},
        {{"export", "-o", (scratch_.path() / "X.PPT").string(), deck}, 2, 0},
        {{"export", "-o", existing, deck}, 2, 0},
        {{"export", existing, deck}, 2, 0},
        {{"export", "-o", fresh, "--", deck}, 0, 0},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << joined(c.arguments) << result.err;
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), c.stdoutLines) << joined(c.arguments);
        if (c.status == 2) {
            EXPECT_NE(result.err.find("quorvane-cli: export: "), std::string::npos) << result.err;
        }
        EXPECT_TRUE(stateOf(deck) == deckBefore) << joined(c.arguments);
        EXPECT_TRUE(stateOf(other) == otherBefore) << joined(c.arguments);
        EXPECT_FALSE(fs::exists(scratch_.path() / "X.PPT"));
    }
    EXPECT_EQ(readFileBytes(existing), "keep me");
    EXPECT_EQ(readFileBytes(fresh).substr(0, 17), "\"File full name\",");
    ASSERT_EQ(run({"export", "--force", "-o", existing, deck}).status, 0);
    EXPECT_EQ(readFileBytes(existing), readFileBytes(fresh));
}

TEST_F(Cli, ExportToStandardOutputThroughAPipe)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string deck = copyOf("42474-1.ppt");
    const std::string fileOut = (scratch_.path() / "file.csv").string();
    ASSERT_EQ(run({"export", "-o", fileOut, deck}).status, 0);
    const std::string command =
        shellQuoted(QUORVANE_BINARY_DIR "/cli/quorvane-cli") + " export -o - " + shellQuoted(deck) + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string piped;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) piped.append(buffer, n);
    const int raw = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_EQ(piped, readFileBytes(fileOut));

    // A standard output that takes nothing: exit 1 with the system's reason, whatever the command.
    const auto toFullDevice = [](const std::string& command) { return "sh -c " + shellQuoted(command + " >/dev/full"); };
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"show", deck}, {"export", deck}, {"--help"}}) {
        const CliRun full = run(arguments, toFullDevice);
        EXPECT_EQ(full.status, 1) << joined(arguments);
        EXPECT_EQ(full.err, "quorvane-cli: cannot write to standard output: no space left on the device\n");
    }
}

TEST_F(Cli, DoubleDashHelpAndVersion)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string dashed = (scratch_.path() / "-deck.ppt").string();
    fs::copy_file(copyOf("WithComments.ppt"), dashed);
    const std::string dashName = "-deck.ppt";
    const auto inScratch = [this](const std::string& command) { return "cd " + shellQuoted(scratch_.path()) + " && " + command; };
    EXPECT_EQ(run({"show", dashName}, inScratch).status, 2) << "an option without --";
    EXPECT_EQ(run({"show", "--", dashName}, inScratch).status, 0);
    EXPECT_EQ(run({"set", "--title", "Dashed", "--", dashName}, inScratch).status, 0);
    EXPECT_EQ(testing::documentRows(dashed).value()[0], "Dashed");
    EXPECT_EQ(run({"set", "--title", "--", "--", dashName}, inScratch).status, 2) << "a value that looks like an option";
    EXPECT_EQ(run({"set", "--title=--", "--", dashName}, inScratch).status, 0) << "an option's value may be --";
    EXPECT_EQ(testing::documentRows(dashed).value()[0], "--");

    for (const char* command : {"show", "set", "export", "scrub"}) {
        const CliRun result = run({command, "--help"});
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_NE(result.out.find(std::string("\n") + command), std::string::npos) << result.out;
        EXPECT_EQ(result.err, "");
    }
    EXPECT_NE(run({"show", "--help"}).out.find("path_bytes"), std::string::npos);
    std::ifstream lists(QUORVANE_SOURCE_DIR "/CMakeLists.txt");
    const std::string cmake((std::istreambuf_iterator<char>(lists)), std::istreambuf_iterator<char>());
    std::smatch version;
    ASSERT_TRUE(std::regex_search(cmake, version, std::regex(R"(project\(Quorvane VERSION ([0-9.]+))")));
    const CliRun result = run({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "quorvane-cli " + version[1].str() + "\n");
}

TEST_F(Cli, NamesAndValuesThatAreNotUtf8GiveValidJsonAndEscapedLines)
{
    const std::string name = "deck\xff\n\x1b[2J.pptx";
    const std::string path = (scratch_.path() / name).string();
    writeFileBytes(path, packageBytes(relationshipsPart(), extendedPart("<Company>A\\B</Company>"),
                                      corePart("<dc:title>ok\xfe\tTab\nline</dc:title>")));

    const CliRun json = run({"show", "--json", path});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);  // throws on invalid UTF-8
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0]["path"], (scratch_.path() / "deck\xEF\xBF\xBD\n\x1b[2J.pptx").string());
    const std::string rawPath = bytesOfHex(parsed[0]["path_bytes"]);
    EXPECT_EQ(rawPath, path);
    EXPECT_EQ(readFileBytes(rawPath), readFileBytes(path));
    EXPECT_EQ(parsed[0]["properties"]["title"], "ok\xEF\xBF\xBD\tTab\nline");
    const std::string plain = (scratch_.path() / "plain.pptx").string();
    fs::copy_file(path, plain);
    EXPECT_FALSE(nlohmann::json::parse(run({"show", "--json", plain}).out)[0].contains("path_bytes"));

    const CliRun text = run({"show", path});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 1 + props::kRowCount + props::kFileInfoLabelCount);
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), (scratch_.path() / "deck\\xff\\n\\x1b[2J.pptx").string());
    EXPECT_NE(text.out.find("\nTitle: ok\\xfe\\tTab\\nline\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nCompany: A\\\\B\n"), std::string::npos) << text.out;

    const CliRun set = run({"set", "--subject", "s", path});
    EXPECT_EQ(set.out, (scratch_.path() / "deck\\xff\\n\\x1b[2J.pptx").string() + ": changed\n") << set.err;
    const CliRun csv = run({"export", path});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("\"ok\xEF\xBF\xBD\tTab\nline\""), std::string::npos) << csv.out;
}

TEST_F(Cli, FoldersGiveTheirPresentationFilesInByteOrderAndSubfoldersWithRecursive)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path top = scratch_.path() / "top";
    for (const char* folder : {"top/sub", "top/Z", "top/~$owner"}) fs::create_directories(scratch_.path() / folder);
    const std::string ppt = readFileBytes(corpusDir() / "files" / "42474-1.ppt");
    for (const char* name : {"top/b.ppt", "top/a.PPTX", "top/~$b.ppt", "top/sub/c.ppt", "top/Z/d.ppt", "top/~$owner/e.ppt"})
        writeFileBytes(scratch_.path() / name, ppt);
    fs::copy_file(corpusDir() / "files" / "SmartArt.pptx", top / "a.PPTX", fs::copy_options::overwrite_existing);
    writeFileBytes(top / "notes.txt", "not a presentation");
    fs::create_directory_symlink(top / "sub", top / "link");
    const std::string t = top.string();
    const std::vector<std::string> oneLevel{t + "/a.PPTX", t + "/b.ppt"};
    const std::vector<std::string> all{t + "/a.PPTX", t + "/b.ppt", t + "/Z/d.ppt", t + "/sub/c.ppt"};

    EXPECT_EQ(jsonPaths(run({"show", "--json", t}).out), oneLevel);
    EXPECT_EQ(jsonPaths(run({"show", "--json", "-r", t + "/"}).out), all);
    EXPECT_EQ(jsonPaths(run({"show", "--json", t + "/sub/c.ppt", "--recursive", t}).out),
              std::vector<std::string>({t + "/sub/c.ppt", t + "/a.PPTX", t + "/b.ppt", t + "/Z/d.ppt", t + "/sub/c.ppt"}));
    const CliRun set = run({"set", "-r", "--subject", "Folder", t});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, t + "/a.PPTX: changed\n" + t + "/b.ppt: changed\n" + t + "/Z/d.ppt: changed\n" + t +
                           "/sub/c.ppt: changed\n");
    EXPECT_EQ(readFileBytes(top / "~$b.ppt"), ppt);
    EXPECT_EQ(readFileBytes(top / "~$owner/e.ppt"), ppt);
    const CliRun csv = run({"export", t});
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);

    // A subfolder whose path is longer than the system takes cannot be walked: it is named, exit 1.
    const fs::path deep = scratch_.path() / "deep";
    fs::create_directory(deep);
    const std::string level(200, 'd');
    std::string deepest = deep.string();
    int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    while (deepest.size() < 4200) {  // made relative to the folder above: no path is that long
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0700), 0);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        deepest += "/" + level;
    }
    ::close(fd);
    const CliRun walked = run({"show", "-r", deep.string()});
    EXPECT_EQ(walked.status, 1);
    EXPECT_TRUE(walked.err.starts_with("quorvane-cli: " + deep.string() + "/" + level)) << walked.err;
    EXPECT_NE(walked.err.find(": file name too long\n"), std::string::npos) << walked.err;
    // GNU rm walks a tree relative to its folders; std::filesystem cannot remove it.
    EXPECT_EQ(std::system(("rm -rf " + shellQuoted(deep.string())).c_str()), 0);
}

TEST_F(Cli, DryRunTellsWhatWouldChangeAndTouchesNothing)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const char* name : {"WithComments.ppt", "SmartArt.pptx"}) {
        const std::string path = copyOf(name);
        const std::string oldTitle = testing::documentRows(path).value()[0];
        const FileState before = stateOf(path);
        const CliRun result = run({"set", "--dry-run", "--backup", "--title", "New title", "--modify-date", "2001-02-03",
                                   "--hidden", "on", "--read-only", "off", path});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.substr(0, path.size() + 15), path + ": would change\n") << result.out;
        EXPECT_NE(result.out.find("  Title: '" + oldTitle + "' -> 'New title'\n"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("  Hidden: '' -> 'Y'\n"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("  Modify Time: '"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("Read-only"), std::string::npos) << "an unchanged value is not listed";
        EXPECT_TRUE(stateOf(path) == before) << name;
        EXPECT_FALSE(fs::exists(path + ".bak"));
        const CliRun same = run({"set", "--dry-run", "--title", oldTitle, path});
        EXPECT_EQ(same.out, path + ": nothing would change\n");
    }
}

TEST_F(Cli, DefaultsApplyTheProgramsSavedBatchSettingsWithOptionsOverridingThem)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path configHome = scratch_.path() / "config";
    change::BatchSettings saved;
    for (change::FileTimeSetting& time : saved.fileTimes) time.applyDate = time.applyTime = false;
    saved.fileTimes[change::kModifyTime] = {true, true, *convert::encodeDateTime({2003, 4, 5, 0, 0, 0, 0}),
                                            *convert::encodeDateTime({1899, 12, 30, 6, 7, 8, 0})};
    saved.attributes.hidden = fileinfo::BoxState::Checked;
    saved.rowChecks[1] = saved.rowChecks[5] = true;
    saved.rowValues[1] = "Subject from the defaults";
    saved.rowValues[5] = "Category from the defaults";
    saved.backup = true;
    saved.removeAllCustom = true;
    const std::string store = (configHome / "lomberk" / "quorvane.reg").string();
    fs::create_directories(configHome / "lomberk");
    ASSERT_TRUE(change::saveBatchDefaults(store, saved));

    const std::string byTool = copyOf("WithComments.ppt");
    const std::string byEngine = (scratch_.path() / "engine.ppt").string();
    fs::copy_file(byTool, byEngine);
    const auto withConfig = [&](const std::string& command) { return "XDG_CONFIG_HOME=" + shellQuoted(configHome) + " " + command; };
    const CliRun result = run({"set", "--category", "Given", "--defaults", byTool}, withConfig);
    ASSERT_EQ(result.status, 0) << result.err;

    // The program's batch run: the settings as its loader reads them, the option on top.
    change::BatchSettings expected = change::loadBatchDefaults(store, 0).value();
    expected.rowValues[5] = "Given";
    ASSERT_TRUE(change::ApplyBatchChangeToFile(byEngine, expected));
    EXPECT_EQ(testing::documentRows(byTool), testing::documentRows(byEngine));
    EXPECT_EQ(testing::documentRows(byTool).value()[1], "Subject from the defaults");
    const auto tool = fileinfo::ReadFileAttributeData(byTool).value(), engine = fileinfo::ReadFileAttributeData(byEngine).value();
    EXPECT_EQ(tool.lastWriteTime, engine.lastWriteTime);
    EXPECT_EQ(tool.attributes, engine.attributes);
    EXPECT_NE(tool.attributes & fileinfo::kHidden, 0u);
    EXPECT_TRUE(fs::exists(byTool + ".bak")) << "the saved backup box";

    // The saved removal of every custom property, with a custom option given on top.
    const std::string withCustom = copyOf("bug61881.ppt");
    ASSERT_EQ(run({"set", "--defaults", "--custom", "Kept=1", withCustom}, withConfig).status, 0);
    const auto custom = nlohmann::json::parse(run({"show", "--json", withCustom}).out)[0]["custom"];
    EXPECT_EQ(custom, nlohmann::json::parse(R"([{"name": "Kept", "type": "text", "value": "1"}])"));

    // No saved settings, or a store that cannot be read: refused with the reason, nothing changed
    // (the first-start settings would set every file time to the moment of the run).
    const fs::path otherHome = scratch_.path() / "other";
    fs::create_directories(otherHome / "lomberk");
    const std::string otherStore = (otherHome / "lomberk" / "quorvane.reg").string();
    const auto withOtherConfig = [&](const std::string& command) {
        return "XDG_CONFIG_HOME=" + shellQuoted(otherHome) + " " + command;
    };
    const FileState before = stateOf(byTool);
    const struct {
        const char* what;
        std::string store;  // the store written before the run; "": no store
        std::string reason;
    } refusals[] = {
        {"no store", "", ": no saved batch settings: " + otherStore + ": no such file"},
        {"the last folder alone", change::formatDefaultsStore({{"lastfolder", "/tmp"}}),
         ": no saved batch settings in " + otherStore},
        {"a store over 1 MiB", std::string(2 << 20, '\n'), ": " + otherStore + ": larger than 1 MiB"},
    };
    for (const auto& refusal : refusals) {
        if (!refusal.store.empty()) writeFileBytes(otherStore, refusal.store);
        const CliRun refused = run({"set", "--defaults", byTool}, withOtherConfig);
        EXPECT_EQ(refused.status, 2) << refusal.what;
        EXPECT_NE(refused.err.find("set: --defaults" + refusal.reason), std::string::npos) << refused.err;
        EXPECT_TRUE(stateOf(byTool) == before) << refusal.what;
    }
    const auto emptyConfig = [&](const std::string& command) { return "XDG_CONFIG_HOME=/proc/none " + command; };
    EXPECT_EQ(run({"set", "--defaults", byTool}, emptyConfig).status, 2) << "a store that cannot be read";
}

// A user who may write a file but does not own it (root's group-writable decks in a shared
// folder): a read fails only when it moved a time that only the owner may put back, and a change
// that cannot keep what only the owner may set is refused before anything is written.
TEST_F(Cli, ANonOwnerOfASharedDeckReadsItAndIsRefusedWhatOnlyItsOwnerMayDo)
{
    QUORVANE_REQUIRE_CORPUS();
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: root's files used by another user";
    if (const std::string cannot = letOtherUserRunTheTool(); !cannot.empty()) GTEST_SKIP() << cannot;
    const fs::path shared = scratch_.path() / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all);
    const auto otherUser = [](const std::string& command) { return kOtherUser + command; };
    // Under relatime a read moves the access time only while it is not after the file's last
    // change: an hour ahead it stays, before the last write it moves.
    const timespec lastWrite{1'000'000'000, 0}, stays{std::time(nullptr) + 3600, 0}, moves{900'000'000, 0};
    const auto sharedDeck = [&](const char* name) {
        const std::string path = (shared / name).string();
        fs::copy_file(corpusDir() / "files" / name, path);
        EXPECT_EQ(::chown(path.c_str(), 0, 65534), 0);
        fs::permissions(path, fs::perms(0664));
        setAccessAndWriteTimes(path, stays, lastWrite);
        return path;
    };
    const std::string ppt = sharedDeck("WithComments.ppt"), pptx = sharedDeck("SmartArt.pptx");
    const FileState pptBefore = stateOf(ppt), pptxBefore = stateOf(pptx);
    const std::string pptTitle = testing::documentRows(ppt).value()[0];
    const std::string pptxTitle = testing::documentRows(pptx).value()[0];
    const std::string notKept = "its times cannot be kept: you do not own it; --allow-new-times changes it anyway";
    const struct {
        std::vector<std::string> arguments;
        std::string reason;  // "" for a run that succeeds
    } cases[] = {
        {{"show", ppt, pptx}, ""},
        {{"show", "--json", ppt, pptx}, ""},
        {{"export", ppt, pptx}, ""},
        {{"set", "--dry-run", "--title", pptTitle, ppt}, ""},
        {{"set", "--title", pptxTitle, pptx}, ""},
        {{"set", "--title", "New", ppt}, ppt + ": failed: " + notKept},
        {{"set", "--dry-run", "--title", "New", ppt}, ppt + ": failed: " + notKept},
        {{"set", "--allow-new-times", "--title", "New", pptx}, pptx + ": failed: its owner cannot be kept: you do not own it"},
        {{"set", "--dry-run", "--title", "New", pptx}, pptx + ": failed: its owner cannot be kept: you do not own it"},
        {{"set", "--allow-new-times", "--modify-date", "2001-02-03", ppt},
         ppt + ": failed: its times cannot be set: you do not own it"},
    };
    for (const auto& c : cases) {
        const CliRun result = run(c.arguments, otherUser);
        EXPECT_EQ(result.status, c.reason.empty() ? 0 : 1) << joined(c.arguments) << result.err;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
        EXPECT_TRUE(stateOf(ppt) == pptBefore && stateOf(pptx) == pptxBefore) << joined(c.arguments);
    }

    // Only the owner may put back an access time that a read moved: a show or an export has
    // read the file all the same and succeeds; the plan of a change says it left a trace.
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"show", ppt}, {"export", ppt},
                                                      {"set", "--dry-run", "--title", pptTitle, ppt}}) {
        setAccessAndWriteTimes(ppt, moves, lastWrite);
        const CliRun result = run(arguments, otherUser);
        const bool moved = stateOf(ppt).access.tv_sec != moves.tv_sec;  // not on a noatime mount
        const bool plan = arguments.front() == "set";
        EXPECT_EQ(result.status, moved && plan ? 1 : 0) << joined(arguments) << result.err;
        if (moved && plan) {
            EXPECT_NE(result.err.find(ppt + ": "), std::string::npos) << result.err;
            EXPECT_NE(result.err.find("its times cannot be put back: permission denied"), std::string::npos) << result.err;
        }
    }

    const CliRun allowed = run({"set", "--allow-new-times", "--title", "New", ppt}, otherUser);
    EXPECT_EQ(allowed.out, ppt + ": changed\n") << allowed.err;
    EXPECT_EQ(testing::documentRows(ppt).value()[0], "New");
    EXPECT_EQ(statOf(ppt).st_uid, 0u);
}

}  // namespace
}  // namespace quorvane::testing
