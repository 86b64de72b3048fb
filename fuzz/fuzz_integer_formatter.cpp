// Feeds arbitrary format strings to the runtime kit's integer printf
// formatter, built for the host in its fullest variant (long long, width
// and precision, wide characters). Every argument is a pointer to a zeroed
// block, which each conversion may read as a number, a narrow or wide
// string or a place to store a count; formats that could take more
// arguments than are passed, or ask for huge widths, are skipped. A crash, a read or write outside
// the format or the blocks, or a result other than the count of characters
// written is a finding.
#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

// The newlib names the formatter calls, as their host equivalents.
#define _REENT nullptr
#define _fwrite_r(reent, data, size, count, stream) ((void)(reent), std::fwrite(data, size, count, stream))
#define _wcrtomb_r(reent, bytes, wide, state) ((void)(reent), std::wcrtomb(bytes, wide, state))
#define FORMAT_LONG_LONG
#define FORMAT_WIDTH_PRECISION
#define FORMAT_WIDE_CHARACTERS
extern "C" {
#include "../kit/lib/format/integer_formatter.c"
}

namespace {

constexpr int kArguments = 24;

int format(FILE* stream, const char* text, ...) {
  va_list arguments;
  va_start(arguments, text);
  const int result = __vfprintf_long_long_wchar(stream, text, arguments);
  va_end(arguments);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Every conversion takes at most one argument, counted by its "%"; a "*"
  // would take a pointer as a width, and long digit runs ask for output
  // beyond any sensible bound.
  std::size_t conversions = 0, digits = 0;
  for (const char c : text) {
    if (c == '*') return 0;
    conversions += c == '%';
    digits = c >= '0' && c <= '9' ? digits + 1 : 0;
    if (digits > 3) return 0;
  }
  if (conversions > kArguments) return 0;
  // Zeros: an empty narrow or wide string; 16 bytes: room for a "%lln" store.
  alignas(8) static wchar_t blocks[kArguments][4];
  std::memset(blocks, 0, sizeof blocks);
  void* p[kArguments];
  for (int i = 0; i < kArguments; ++i) p[i] = blocks[i];
  char* output = nullptr;
  std::size_t length = 0;
  FILE* stream = open_memstream(&output, &length);
  errno = 0;
  const int result = format(stream, text.c_str(), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9], p[10],
                            p[11], p[12], p[13], p[14], p[15], p[16], p[17], p[18], p[19], p[20], p[21], p[22], p[23]);
  const int error = errno;
  std::fclose(stream);
  std::free(output);
  // A pointer read as a wide character may have no multibyte form: EOF is
  // the answer then, and only then.
  if (result < 0 ? error != EILSEQ : length != static_cast<std::size_t>(result)) std::abort();
  return 0;
}
