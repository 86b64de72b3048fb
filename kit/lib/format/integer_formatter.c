/* The integer-only printf formatters. The C library's own integer-only
   formatter always carries width, precision, 64-bit conversion and the
   locale's wide-character conversion; this one is compiled once per printf
   variant, each switch leaving out what its variant does not ask for:

   FORMAT_LONG_LONG        "ll" (and "j", "q") convert 64-bit values. Without
                           it they still take a 64-bit argument, so the
                           arguments after it stay in step, but convert
                           only its low 32 bits: no 64-bit division is linked.
   FORMAT_WIDTH_PRECISION  flags, width and precision take effect. Without it
                           they are parsed (a "*" still takes its argument)
                           and ignored, so the conversion itself still prints.
   FORMAT_WIDE_CHARACTERS  "%lc" and "%ls" convert through the locale's
                           multibyte encoding, as the C library does. Without
                           it each wide character is narrowed to its low byte,
                           which is right for ASCII text and links no locale
                           code.

   "long" is "int" on every ARM target, so one object serves both names.
   Output goes through the stream's own fwrite, in runs of a small buffer on
   the stack: no allocation, no state outside the call, and an unbuffered
   console gets one write per run rather than one per character. */
#include <limits.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <wchar.h>

#ifdef FORMAT_LONG_LONG
typedef unsigned long long magnitude_t;
typedef long long signed_t;
#else
typedef unsigned long magnitude_t;
typedef long signed_t;
#endif

enum { OUTPUT_RUN = 64 };

enum {
  LEFT = 1,   /* "-" */
  PLUS = 2,   /* "+" */
  SPACE = 4,  /* " " */
  ALTERNATE = 8, /* "#" */
  ZERO = 16,  /* "0" */
};

/* Length modifiers, as the number of "l"s; "h" counts down. */
enum { CHAR_LENGTH = -2, SHORT_LENGTH = -1, LONG_LENGTH = 1, LONG_LONG_LENGTH = 2 };

struct output {
  FILE *stream;
  int count;
  int failed;
  unsigned fill;
  char run[OUTPUT_RUN];
};

static void flush(struct output *out) {
  if (out->fill > 0 && _fwrite_r(_REENT, out->run, 1, out->fill, out->stream) != out->fill) out->failed = 1;
  out->fill = 0;
}

static void put(struct output *out, char c) {
  if (out->fill == OUTPUT_RUN) flush(out);
  out->run[out->fill++] = c;
  out->count++;
}

static void put_text(struct output *out, const char *text, int size) {
  while (size-- > 0) put(out, *text++);
}

static void repeat(struct output *out, char c, int count) {
  while (count-- > 0) put(out, c);
}

static int is_digit(char c) { return c >= '0' && c <= '9'; }

/* Larger counts stay at COUNT_LIMIT, so that no sum of a width or
   precision with a conversion's own length overflows. */
enum { COUNT_LIMIT = INT_MAX / 2 };

static const char *parse_count(const char *p, int *count) {
  int value = 0;
  for (; is_digit(*p); ++p) value = value > (COUNT_LIMIT - 9) / 10 ? COUNT_LIMIT : value * 10 + (*p - '0');
  *count = value;
  return p;
}

#ifdef FORMAT_WIDE_CHARACTERS
/* The multibyte length of a wide string, at most "limit" bytes (no limit
   when negative) and never splitting a character; -1 for a character the
   locale cannot encode. */
static int multibyte_length(const wchar_t *text, int limit) {
  char bytes[MB_LEN_MAX];
  mbstate_t state = {0};
  int size = 0;
  for (; *text; ++text) {
    const int n = (int)_wcrtomb_r(_REENT, bytes, *text, &state);
    if (n < 0) return -1;
    if (limit >= 0 && size + n > limit) break;
    size += n;
  }
  return size;
}

static void put_multibyte(struct output *out, const wchar_t *text, int size) {
  char bytes[MB_LEN_MAX];
  mbstate_t state = {0};
  while (size > 0) {
    const int n = (int)_wcrtomb_r(_REENT, bytes, *text++, &state);
    put_text(out, bytes, n);
    size -= n;
  }
}
#else
static void put_narrowed(struct output *out, const wchar_t *text, int size) {
  while (size-- > 0) put(out, (char)*text++);
}
#endif

#define FORMATTER_NAME3(level, nwp, wide) __vfprintf_##level##nwp##wide
#define FORMATTER_NAME2(level, nwp, wide) FORMATTER_NAME3(level, nwp, wide)
#ifdef FORMAT_WIDTH_PRECISION
#define NWP_SUFFIX
#else
#define NWP_SUFFIX _nwp
#endif
#ifdef FORMAT_WIDE_CHARACTERS
#define WIDE_SUFFIX _wchar
#else
#define WIDE_SUFFIX
#endif
#define FORMATTER_NAME(level) FORMATTER_NAME2(level, NWP_SUFFIX, WIDE_SUFFIX)

#define STRING2(name) #name
#define STRING(name) STRING2(name)
#ifdef FORMAT_LONG_LONG
#define FORMATTER FORMATTER_NAME(long_long)
#else
#define FORMATTER FORMATTER_NAME(int)
int FORMATTER_NAME(long)(FILE *, const char *, va_list) __attribute__((alias(STRING(FORMATTER))));
#endif

int FORMATTER(FILE *stream, const char *format, va_list arguments) {
  struct output out;
  out.stream = stream;
  out.count = 0;
  out.failed = 0;
  out.fill = 0;
  const char *p = format;
  while (*p) {
    if (*p != '%') {
      put(&out, *p++);
      continue;
    }
    ++p;
    unsigned flags = 0;
    for (;; ++p) {
      if (*p == '-') flags |= LEFT;
      else if (*p == '+') flags |= PLUS;
      else if (*p == ' ') flags |= SPACE;
      else if (*p == '#') flags |= ALTERNATE;
      else if (*p == '0') flags |= ZERO;
      else break;
    }
    int width = 0;
    if (*p == '*') {
      width = va_arg(arguments, int);
      ++p;
      if (width < 0) {
        flags |= LEFT;
        width = width < -COUNT_LIMIT ? COUNT_LIMIT : -width;
      }
      if (width > COUNT_LIMIT) width = COUNT_LIMIT;
    } else {
      p = parse_count(p, &width);
    }
    int precision = -1;
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        precision = va_arg(arguments, int);
        ++p;
        if (precision < 0) precision = -1;
        else if (precision > COUNT_LIMIT) precision = COUNT_LIMIT;
      } else {
        p = parse_count(p, &precision);
      }
    }
#ifndef FORMAT_WIDTH_PRECISION
    flags = 0;
    width = 0;
    precision = -1;
#endif
    int length = 0;
    for (;; ++p) {
      if (*p == 'h') --length;
      else if (*p == 'l') ++length;
      else if (*p == 'j' || *p == 'q') length = LONG_LONG_LENGTH;
      else if (*p != 'z' && *p != 't' && *p != 'L') break;
    }
    const char conversion = *p;
    if (conversion == '\0') break;
    ++p;

    char digits[24]; /* a 64-bit value in octal */
    const char *text = digits;
    int size = 0;
    char prefix[2];
    int prefix_size = 0;
    int zeros = 0;
    magnitude_t value;
    unsigned base = 10;
    const char *digit_set = "0123456789abcdef";
    const wchar_t *wide_text = 0;

    switch (conversion) {
      case 'd':
      case 'i': {
        signed_t number;
        if (length >= LONG_LONG_LENGTH) number = (signed_t)va_arg(arguments, long long);
        else if (length == LONG_LENGTH) number = va_arg(arguments, long);
        else number = va_arg(arguments, int);
        if (length == SHORT_LENGTH) number = (short)number;
        else if (length <= CHAR_LENGTH) number = (signed char)number;
        if (number < 0) {
          prefix[prefix_size++] = '-';
          value = -(magnitude_t)number;
        } else {
          value = (magnitude_t)number;
          if (flags & PLUS) prefix[prefix_size++] = '+';
          else if (flags & SPACE) prefix[prefix_size++] = ' ';
        }
        goto number;
      }
      case 'X':
        digit_set = "0123456789ABCDEF";
        /* fall through */
      case 'x':
        base = 16;
        goto unsigned_number;
      case 'o':
        base = 8;
        /* fall through */
      case 'u':
      unsigned_number:
        if (length >= LONG_LONG_LENGTH) value = (magnitude_t)va_arg(arguments, unsigned long long);
        else if (length == LONG_LENGTH) value = va_arg(arguments, unsigned long);
        else value = va_arg(arguments, unsigned);
        if (length == SHORT_LENGTH) value = (unsigned short)value;
        else if (length <= CHAR_LENGTH) value = (unsigned char)value;
        if ((flags & ALTERNATE) && base == 16 && value != 0) {
          prefix[prefix_size++] = '0';
          prefix[prefix_size++] = conversion;
        }
        goto number;
      case 'p':
        value = (uintptr_t)va_arg(arguments, void *);
        base = 16;
        prefix[prefix_size++] = '0';
        prefix[prefix_size++] = 'x';
      number: {
        char *digit = digits + sizeof digits;
        while (value != 0) {
          *--digit = digit_set[value % base];
          value /= base;
        }
        text = digit;
        size = (int)(digits + sizeof digits - digit);
        /* Without a precision at least one digit shows, and "0" pads. */
        if (precision < 0) precision = 1;
        else flags &= ~ZERO;
        if (precision > size) zeros = precision - size;
        if ((flags & ALTERNATE) && base == 8 && zeros == 0) zeros = 1;
        break;
      }
      case 'C':
        length = LONG_LENGTH;
        /* fall through */
      case 'c':
        if (length >= LONG_LENGTH) {
#ifdef FORMAT_WIDE_CHARACTERS
          mbstate_t state = {0};
          size = (int)_wcrtomb_r(_REENT, digits, (wchar_t)va_arg(arguments, wint_t), &state);
          if (size < 0) goto failed;
#else
          digits[0] = (char)va_arg(arguments, wint_t);
          size = 1;
#endif
        } else {
          digits[0] = (char)va_arg(arguments, int);
          size = 1;
        }
        break;
      case 'S':
        length = LONG_LENGTH;
        /* fall through */
      case 's':
        text = va_arg(arguments, const char *);
        if (text == 0) {
          text = "(null)";
        } else if (length >= LONG_LENGTH) {
          wide_text = (const wchar_t *)text;
#ifdef FORMAT_WIDE_CHARACTERS
          size = multibyte_length(wide_text, precision);
          if (size < 0) goto failed;
#else
          while ((precision < 0 || size < precision) && wide_text[size]) ++size;
#endif
          break;
        }
        while ((precision < 0 || size < precision) && text[size]) ++size;
        break;
      case 'n':
        if (length >= LONG_LONG_LENGTH) *va_arg(arguments, long long *) = out.count;
        else if (length == LONG_LENGTH) *va_arg(arguments, long *) = out.count;
        else if (length == SHORT_LENGTH) *va_arg(arguments, short *) = (short)out.count;
        else if (length <= CHAR_LENGTH) *va_arg(arguments, signed char *) = (signed char)out.count;
        else *va_arg(arguments, int *) = out.count;
        continue;
      default:
        /* "%%", and a conversion this formatter does not know, print the
           character itself: no argument is taken. */
        digits[0] = conversion;
        size = 1;
        break;
    }

    /* The C library pads every conversion, not only numbers, with zeros. */
    if ((flags & (ZERO | LEFT)) == ZERO && width > prefix_size + zeros + size)
      zeros = width - prefix_size - size;
    const int padding = width - (prefix_size + zeros + size);
    if (!(flags & LEFT)) repeat(&out, ' ', padding);
    put_text(&out, prefix, prefix_size);
    repeat(&out, '0', zeros);
    if (wide_text) {
#ifdef FORMAT_WIDE_CHARACTERS
      put_multibyte(&out, wide_text, size);
#else
      put_narrowed(&out, wide_text, size);
#endif
    } else {
      put_text(&out, text, size);
    }
    if (flags & LEFT) repeat(&out, ' ', padding);
  }
  flush(&out);
  return out.failed ? EOF : out.count;
#ifdef FORMAT_WIDE_CHARACTERS
failed:
  flush(&out);
  return EOF;
#endif
}
