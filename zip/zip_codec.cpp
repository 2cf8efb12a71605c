// SPDX-License-Identifier: Apache-2.0
#include "zip/zip_codec.h"

#include <zlib.h>

#include <algorithm>

#include "zip/zip_failure.h"

namespace quorvane::zip {
namespace {

constexpr std::size_t kReadPieceBytes = 256 * 1024;
constexpr std::size_t kFirstOutputBytes = 64 * 1024;
constexpr int kRawDeflateWindowBits = -15;  // raw deflate: no zlib header, as ZIP stores it
constexpr int kMemoryLevel = 8;

// Owner of an inflate stream: ends it on every way out.
struct InflateStream {
    z_stream stream{};
    bool ready = false;
    InflateStream() { ready = inflateInit2(&stream, kRawDeflateWindowBits) == Z_OK; }
    ~InflateStream()
    {
        if (ready) inflateEnd(&stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

struct DeflateStream {
    z_stream stream{};
    bool ready = false;
    DeflateStream()
    {
        ready = deflateInit2(&stream, 6, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~DeflateStream()
    {
        if (ready) deflateEnd(&stream);
    }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;
};

}  // namespace

Result<std::vector<std::byte>> inflateEntryData(RandomAccessFile& file, std::uint64_t offset,
                                                std::uint64_t compressedSize, std::size_t expectedSize,
                                                std::string_view entryName)
{
    const auto dataDamaged = [entryName](std::string_view what) {
        return damagedArchive("the deflated data of " + std::string(entryName) + " " + std::string(what));
    };
    InflateStream inflater;
    if (!inflater.ready) return Failure(FailureKind::Io, "the decompressor could not start");
    // The output grows as the data inflates, so that a size claimed by a damaged record costs
    // nothing until the data bears it out; its limit is one byte more than expected, so that
    // data inflating past the expected size is seen.
    const std::size_t outputLimit = expectedSize + 1;
    std::vector<std::byte> output(std::min(outputLimit, kFirstOutputBytes));
    std::vector<std::byte> piece(std::min<std::uint64_t>(compressedSize, kReadPieceBytes));
    z_stream& z = inflater.stream;
    std::uint64_t consumed = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (z.avail_in == 0) {
            if (consumed == compressedSize) return dataDamaged("ends early");
            const std::size_t pieceSize = std::size_t(std::min<std::uint64_t>(piece.size(), compressedSize - consumed));
            if (const Failure failure = readArchiveBytes(file, offset + consumed, std::span(piece).first(pieceSize),
                                                         "the file ends inside the deflated data of " + std::string(entryName));
                failure.failed())
                return failure;
            consumed += pieceSize;
            z.next_in = reinterpret_cast<Bytef*>(piece.data());
            z.avail_in = uInt(pieceSize);
        }
        if (z.total_out == output.size()) {
            if (output.size() == outputLimit) return dataDamaged("inflates past its stated size");
            output.resize(std::min(outputLimit, output.size() * 2));
        }
        z.next_out = reinterpret_cast<Bytef*>(output.data() + z.total_out);
        z.avail_out = uInt(output.size() - z.total_out);
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) return dataDamaged("does not inflate");
        if (z.total_out > expectedSize) return dataDamaged("inflates past its stated size");
    }
    if (z.total_out != expectedSize) return dataDamaged("inflates short of its stated size");
    output.resize(expectedSize);
    return output;
}

std::optional<std::vector<std::byte>> deflateAtLevel6(std::span<const std::byte> data)
{
    DeflateStream deflater;
    if (!deflater.ready) return std::nullopt;
    z_stream& z = deflater.stream;
    std::vector<std::byte> output(deflateBound(&z, uLong(data.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(output.data());
    z.avail_out = uInt(output.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return std::nullopt;
    output.resize(z.total_out);
    return output;
}

std::uint32_t crc32Of(std::span<const std::byte> data)
{
    return std::uint32_t(crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

}  // namespace quorvane::zip
