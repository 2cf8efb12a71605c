// SPDX-License-Identifier: Apache-2.0
// The reason a package cannot be read or written, as readPackageRows and writePackageRows give it,
// each produced by the real condition: damaged archives and parts (a part stored twice), missing
// files, folders, a lock held by another process, a read-only file, and a full device. Every
// failed write leaves the file byte-identical with no temporary file beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/random_access_file.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "package/package_xml.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"
#include "tests/support/package_builder.h"

namespace quorvane::package {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;

props::RowTexts titleOnly(const std::string& title)
{
    props::RowTexts texts;
    texts[0] = title;
    return texts;
}

props::RowSelection titleSelected()
{
    props::RowSelection selected{};
    selected[0] = true;
    return selected;
}

long entriesIn(const fs::path& folder)
{
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(PackageFailure, EachReasonComesFromItsCondition)
{
    const std::string rels = relationshipsPart();
    const std::string app = extendedPart(fullExtendedChildren());
    const std::string core = corePart(fullCoreChildren());
    const auto withCore = [&](const std::function<void(ZipBuilderEntry&)>& change) {
        auto entries = packageEntries(rels, app, core);
        for (ZipBuilderEntry& entry : entries)
            if (entry.name == "docProps/core.xml") change(entry);
        std::erase_if(entries, [](const ZipBuilderEntry& e) { return e.name == "removed"; });
        return buildZip(entries);
    };
    const auto bytes = [](std::string content) {
        return [content](const fs::path& path) { writeFileBytes(path, content); };
    };
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;  // makes the file (or not) at the path
        FailureKind kind;
        const char* reason;
    } cases[] = {
        {"not a ZIP file", bytes("just text in a file named .pptx"), FailureKind::Damaged, "not a ZIP archive"},
        {"core part missing", bytes(withCore([](ZipBuilderEntry& e) { e.name = "removed"; })), FailureKind::NotFound,
         "package part missing: docProps/core.xml"},
        {"relationships part missing", bytes([&] {
             auto entries = packageEntries(rels, app, core);
             std::erase_if(entries, [](const ZipBuilderEntry& e) { return e.name == "_rels/.rels"; });
             return buildZip(entries);
         }()),
         FailureKind::NotFound, "package part missing: _rels/.rels"},
        {"core part duplicated", bytes([&] {
             auto entries = packageEntries(rels, app, core);
             entries.push_back(*std::find_if(entries.begin(), entries.end(),
                                             [](const ZipBuilderEntry& e) { return e.name == "docProps/core.xml"; }));
             return buildZip(entries);
         }()),
         FailureKind::Damaged, "package part duplicated: docProps/core.xml (2 entries bear its name)"},
        {"core part not well-formed", bytes(packageBytes(rels, app, core.substr(0, core.size() - 5))),
         FailureKind::Damaged, "package part not well-formed: docProps/core.xml: "},
        {"core part fails its CRC", bytes(withCore([](ZipBuilderEntry& e) { e.statedCrc = 0x12345678; })),
         FailureKind::Damaged, "damaged ZIP archive: docProps/core.xml fails its CRC"},
        {"core part states a size past the part bound",
         bytes(withCore([](ZipBuilderEntry& e) { e.statedSize = std::uint32_t(kMaxPartBytes) + 1; })),
         FailureKind::Unsupported, "package part too large: docProps/core.xml"},
        {"missing file", [](const fs::path&) {}, FailureKind::NotFound, "no such file"},
        {"a folder", [](const fs::path& path) { fs::create_directory(path); }, FailureKind::NotRegularFile,
         "not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir scratch;
        const fs::path path = scratch.path() / "x.pptx";
        c.make(path);
        const std::string before = fs::is_regular_file(path) ? readFileBytes(path) : "";

        const Result<props::RowTexts> rows = readPackageRows(path);
        ASSERT_FALSE(rows.ok());
        EXPECT_EQ(rows.failure().kind(), c.kind);
        EXPECT_EQ(rows.failure().text().rfind(c.reason, 0), 0u) << rows.failure().text();

        const Failure written = writePackageRows(path, titleOnly("New"), titleSelected());
        EXPECT_EQ(written.kind(), c.kind);
        EXPECT_EQ(written.text().rfind(c.reason, 0), 0u) << written.text();
        if (fs::is_regular_file(path)) {
            EXPECT_TRUE(readFileBytes(path) == before);
        }
        EXPECT_EQ(entriesIn(scratch.path()), fs::exists(path) ? 1 : 0);
    }
}

TEST(PackageFailure, ReadOnlyAndLockedByAnotherProcessAreRefused)
{
    ScratchDir scratch;
    const fs::path path = scratch.path() / "deck.pptx";
    writeFileBytes(path, packageBytes(relationshipsPart(), extendedPart(""), corePart("")));
    const std::string original = readFileBytes(path);

    ::chmod(path.c_str(), 0444);
    const Failure readOnly = writePackageRows(path, titleOnly("New"), titleSelected());
    EXPECT_EQ(readOnly.kind(), FailureKind::ReadOnly);
    EXPECT_EQ(readOnly.text(), "read-only");
    ::chmod(path.c_str(), 0644);

    // A child takes the exclusive lock a writer takes and holds it until `holder` goes.
    std::optional<Result<props::RowTexts>> rows;
    Failure written;
    {
        LockHoldingChild holder(path, true);
        ASSERT_TRUE(holder.holding()) << "the child could not lock the file";
        rows = readPackageRows(path);
        written = writePackageRows(path, titleOnly("New"), titleSelected());
    }

    ASSERT_FALSE(rows->ok());
    EXPECT_EQ(rows->failure(), lockedByAnotherProgram());
    EXPECT_EQ(written, lockedByAnotherProgram());
    EXPECT_TRUE(readFileBytes(path) == original);
    EXPECT_EQ(entriesIn(scratch.path()), 1);
    EXPECT_TRUE(readPackageRows(path).ok()) << "the lock went with the other process";
}

// A corpus package on a small tmpfs, mounted in a private mount namespace of a child process
// and filled to the last byte: the rewrite fails for want of space and the package stays as it was.
TEST(PackageFailure, AFullDeviceLeavesThePackageUntouched)
{
    QUORVANE_REQUIRE_CORPUS();
    ScratchDir scratch;
    fs::path original;
    for (const std::string& name : corpusFiles("zip")) {
        if (!name.ends_with(".pptx") || fs::file_size(corpusDir() / "files" / name) > (512u << 10)) continue;
        const fs::path copy = scratch.copyOfCorpusFile(name);
        if (readPackageRows(copy).ok()) {
            original = copy;
            break;
        }
    }
    if (original.empty()) GTEST_SKIP() << "no readable .pptx of at most 512 KiB in the corpus";
    const auto answer = runOnPrivateMount("tmpfs", "size=2M", [&](const fs::path& device) -> std::string {
        const fs::path path = device / "deck.pptx";
        std::error_code error;
        if (!fs::copy_file(original, path, error)) return "copy failed: " + error.message();
        {
            std::ofstream filler(device / "filler", std::ios::binary);
            const std::string block(4096, '\0');
            while (filler.write(block.data(), std::streamsize(block.size())) && filler.flush()) {
            }
        }
        const Failure failure = writePackageRows(path, titleOnly("Does not fit"), titleSelected());
        const bool same = readFileBytes(path) == readFileBytes(original);
        return failure.text() + "\n" + (same ? "same" : "changed") + "\n" + std::to_string(entriesIn(device));
    });
    if (!answer) GTEST_SKIP() << "a private mount namespace with a tmpfs is not permitted here";
    EXPECT_EQ(*answer, "no space left on the device\nsame\n2");
}

}  // namespace
}  // namespace quorvane::package
