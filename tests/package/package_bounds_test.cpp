// SPDX-License-Identifier: Apache-2.0
// Packages made to exhaust memory or time: parts that inflate far past what real parts need,
// parts packed with elements or attributes, a directory packed with entries. Each is made, read
// and written in child processes; the read and the write stay within 256 MiB of peak memory and
// 2 s of processor time (wait4), and give the reason of a refusal.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "package/package_reader.h"
#include "package/package_writer.h"
#include "package/package_xml.h"
#include "tests/support/corpus.h"
#include "tests/support/package_builder.h"

namespace quorvane::package {
namespace {

// AddressSanitizer keeps freed memory in quarantine and slows every access, and an unoptimized
// build runs the same work about three times slower; those builds check the same bounds with
// room for that (a runaway read takes gigabytes and many seconds).
#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
constexpr int kSlowBuildFactor = 4;
#else
constexpr int kSlowBuildFactor = 1;
#endif
// Time under AddressSanitizer, whose checks cost most in parsing and deflating: the write of the
// parts at the bounds takes 0.9 s of processor time in a release build and 8 to 10 s there.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSlowBuildTimeFactor = 6;
#else
constexpr int kSlowBuildTimeFactor = kSlowBuildFactor;
#endif

namespace fs = std::filesystem;
using namespace quorvane::testing;

struct ChildRun {
    std::string answer;
    long peakKib = 0;
    double processorSeconds = 0;
};

// Runs `body` in a child process: what it returned, its peak resident memory and processor time.
ChildRun inChildProcess(const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0) return {"pipe failed"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::string answer = body();
        (void)!::write(channel[1], answer.data(), answer.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    ChildRun run;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) run.answer.append(buffer, std::size_t(got));
    ::close(channel[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    run.peakKib = usage.ru_maxrss;
    run.processorSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

std::string repeated(const std::string& unit, std::size_t bytes)
{
    std::string text;
    text.reserve(bytes + unit.size());
    while (text.size() < bytes) text += unit;
    return text;
}

// `part` with `attributes` added to its root's start tag and `children` as its first children.
std::string withRootFilling(const std::string& part, const std::string& attributes, const std::string& children)
{
    const std::size_t rootTagEnd = part.find('>', part.find("?>") + 2);
    return part.substr(0, rootTagEnd) + attributes + ">" + children + part.substr(rootTagEnd + 1);
}

// A part within both bounds by `slack` bytes: a root with as many attributes as the bytes allow,
// and 30,000 children, every one of which the element lookup walks past (written as pugixml
// writes them, so that a rewrite changes only the rows written).
std::string atTheBounds(const std::string& part, std::size_t slack)
{
    const std::string children = repeated("<x/>", 30000 * 4);
    const std::size_t room = kMaxPartBytes - part.size() - children.size() - slack;
    return withRootFilling(part, repeated(R"( a="")", room - room % 5), children);
}

TEST(PackageBounds, HostilePackagesAreReadAndWrittenInBoundedMemoryAndTime)
{
    const std::string rels = relationshipsPart();
    const std::string app = extendedPart("<Company>Lomberk</Company>");
    const std::string core = corePart("<dc:title>Quarterly</dc:title>");
    // Made in the child that writes the file, so that no child inherits them.
    const auto elements = [](std::size_t bytes) { return repeated("<e/>x", bytes); };
    const std::string readBack = "Quarterly/Lomberk";
    const std::string writtenBack = "New title/New company";
    const struct {
        const char* what;
        std::function<std::string()> make;
        std::string readAnswer;   // the title and company read, or the reason of the failure
        std::string writeAnswer;  // the same, read after the write
    } cases[] = {
        {"both property parts inflate to 63 MiB of elements",
         [&] { return packageBytes(rels, extendedPart(elements(63u << 20)), corePart(elements(63u << 20))); },
         "package part too large: docProps/app.xml", "package part too large: docProps/app.xml"},
        {"the core part packs 4 MiB with elements",
         [&] { return packageBytes(rels, app, corePart(elements(kMaxPartBytes - 4096))); },
         "package part has too many elements: docProps/core.xml",
         "package part has too many elements: docProps/core.xml"},
        {"the relationships part packs 4 MiB with elements",
         [&] { return packageBytes(withRootFilling(rels, "", elements(kMaxPartBytes - 4096)), app, core); },
         "package part has too many elements: _rels/.rels", "package part has too many elements: _rels/.rels"},
        {"every part at both bounds",
         [&] { return packageBytes(atTheBounds(rels, 1024), atTheBounds(app, 1024), atTheBounds(core, 1024)); }, readBack,
         writtenBack},
        {"a core part that the new values would take past the bound",
         [&] { return packageBytes(rels, app, atTheBounds(corePart("<dc:title>Q</dc:title>"), 4)); }, "Q/Lomberk",
         "package part too large: docProps/core.xml"},
        {"a central directory of 64 MiB of entries",
         [&] { return packageBytes(rels, app, core, {.zip64 = true, .emptyEntries = (64u << 20) / 62}); },
         "damaged ZIP archive: the central directory is larger than 16 MiB",
         "damaged ZIP archive: the central directory is larger than 16 MiB"},
    };
    ScratchDir scratch;
    const fs::path path = scratch.path() / "hostile.pptx";
    props::RowTexts texts;
    texts[0] = "New title";
    texts[9] = "New company";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ChildRun made = inChildProcess([&] {
            writeFileBytes(path, c.make());
            return std::string("made");
        });
        ASSERT_EQ(made.answer, "made");
        const ChildRun read = inChildProcess([&] {
            const auto rows = readPackageRows(path);
            return rows.ok() ? (*rows)[0] + "/" + (*rows)[9] : rows.failure().text();
        });
        const ChildRun written = inChildProcess([&] {
            const Failure failure = writePackageRows(path, texts, props::kAllRows);
            if (failure.failed()) return failure.text();
            const auto rows = readPackageRows(path);
            return rows.ok() ? (*rows)[0] + "/" + (*rows)[9] : rows.failure().text();
        });
        EXPECT_EQ(read.answer, c.readAnswer);
        EXPECT_EQ(written.answer, c.writeAnswer);
        for (const ChildRun* run : {&read, &written}) {
            EXPECT_LE(run->peakKib, kSlowBuildFactor * (256 << 10)) << (run == &read ? "read" : "write");
            EXPECT_LE(run->processorSeconds, kSlowBuildTimeFactor * 2.0) << (run == &read ? "read" : "write");
        }
        RecordProperty(std::string(c.what) + ": peak KiB and processor seconds of read, write",
                       std::to_string(read.peakKib) + ", " + std::to_string(written.peakKib) + "; " +
                           std::to_string(read.processorSeconds) + ", " + std::to_string(written.processorSeconds));
    }
}

}  // namespace
}  // namespace quorvane::package
