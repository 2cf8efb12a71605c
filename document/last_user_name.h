// SPDX-License-Identifier: Apache-2.0
// The name of the last user who saved a .ppt, which PowerPoint keeps outside the property sets,
// and the token that marks an encrypted document: the CurrentUserAtom that is the whole
// "Current User" stream ([MS-PPT] 2.1.1, 2.3.2).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quorvane::document {

inline constexpr std::u16string_view kCurrentUserStreamName = u"Current User";
// A stream far longer than the record is no CurrentUserAtom this code understands.
inline constexpr std::uint64_t kMaxCurrentUserStreamBytes = 64 * 1024;

// headerToken of a document encrypted with RC4 CryptoAPI ([MS-PPT] 2.3.2); an unencrypted one
// has 0xE391C05F.
inline constexpr std::uint32_t kEncryptedDocumentHeaderToken = 0xF3D1C4DF;

// The headerToken of the CurrentUserAtom that `stream` holds; nullopt when the stream is no
// CurrentUserAtom this code understands.
std::optional<std::uint32_t> currentUserHeaderToken(std::span<const std::byte> stream);

// The stream with the user name of its CurrentUserAtom emptied (ansiUserName and
// unicodeUserName; every other field kept, bytes after the record dropped); nullopt when the
// name is empty already or the stream is no CurrentUserAtom this code understands (it is then
// left as it is).
std::optional<std::vector<std::byte>> currentUserWithoutName(const std::vector<std::byte>& stream);

}  // namespace quorvane::document
