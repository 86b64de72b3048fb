#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tidewater {

/// One output stream of a child process: every byte received since the
/// command started, and the offset of the first byte not yet delivered as a
/// line. A line ends at LF, or at CR, in which case the byte after the CR is
/// skipped unread, taken to be the LF of a CR LF pair even when it arrives
/// with the next read; so the offset may point one past the end.
class OutputChannel {
 public:
  /// Appends "bytes" and hands each line completed by them to
  /// deliver(std::string_view), without its terminator.
  template <typename Deliver>
  void append(std::string_view bytes, Deliver&& deliver) {
    std::size_t scan = buffer_.size();
    buffer_.append(bytes);
    if (consumed_ > scan) scan = consumed_;
    for (std::size_t i = scan; i < buffer_.size(); ++i) {
      const char byte = buffer_[i];
      if (byte != '\n' && byte != '\r') continue;
      deliver(std::string_view(buffer_).substr(consumed_, i - consumed_));
      consumed_ = byte == '\r' ? i + 2 : i + 1;
      if (byte == '\r') ++i;
    }
  }

  /// Hands the unterminated rest, if any, to deliver(std::string_view) as a
  /// last line and forgets everything, ready for the next command.
  template <typename Deliver>
  void finish(Deliver&& deliver) {
    if (consumed_ < buffer_.size()) deliver(std::string_view(buffer_).substr(consumed_));
    buffer_.clear();
    consumed_ = 0;
  }

 private:
  std::string buffer_;
  std::size_t consumed_ = 0;
};

}  // namespace tidewater
