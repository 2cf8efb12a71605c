// SPDX-License-Identifier: Apache-2.0
#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>

namespace quorvane::cli {

StandardOutput::StandardOutput(std::ostream& stream) : stream_(stream), earlier_(stream.rdbuf(this))
{
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (::isatty(STDOUT_FILENO)) stream_.setf(std::ios::unitbuf);
}

StandardOutput::~StandardOutput()
{
    flush();
    stream_.rdbuf(earlier_);
}

Failure StandardOutput::flush()
{
    const char* next = pbase();
    while (!failure_.failed() && next < pptr()) {
        const ssize_t written = ::write(STDOUT_FILENO, next, std::size_t(pptr() - next));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) failure_ = Failure::fromErrno(written < 0 ? errno : 0);
        else next += written;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return failure_;
}

StandardOutput::int_type StandardOutput::overflow(int_type c)
{
    if (flush().failed()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

int StandardOutput::sync() { return flush().failed() ? -1 : 0; }

}  // namespace quorvane::cli
