// Reading input and filter images from XPM files.
#include "xpm/XpmReader.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "image/Messages.h"
#include "xpm/XpmMessages.h"

namespace dt {

namespace {

constexpr std::string_view whiteValue = "ffffff";  // in any case, is pixel 1
constexpr std::string_view whiteName = "white";    // in any case, is pixel 1

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Format(const char* pattern, int value) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, Translate(pattern).c_str(), value);
  return buffer;
}

// Why a scan stopped; carries the message that explains it, in the language shown.
struct Refusal {
  explicit Refusal(const char* text) : message(Translate(text)) {}
  explicit Refusal(std::string formatted) : message(std::move(formatted)) {}
  std::string message;
};

// A cursor over the file's characters with the few moves the format needs. Running off the end
// where the layout still expects something is a truncated file.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  std::size_t Remaining() const { return text_.size() - pos_; }

  char Next() {
    if (AtEnd()) throw Refusal{text::fileTruncated};
    return text_[pos_++];
  }

  // Reads and discards characters up to and including the next `wanted`.
  void SkipTo(char wanted) {
    while (Next() != wanted) {
    }
  }

  // The characters before the next `wanted`, which is read as well.
  std::string_view ReadTo(char wanted) {
    const std::size_t start = pos_;
    SkipTo(wanted);
    return text_.substr(start, pos_ - 1 - start);
  }

  // Reads and discards characters up to and including the next of `a` or `b`; returns which.
  // At the end of the text returns '\0' when `endAllowed`, else the file is truncated.
  char SkipToEither(char a, char b, bool endAllowed) {
    while (!AtEnd()) {
      const char c = text_[pos_++];
      if (c == a || c == b) return c;
    }
    if (endAllowed) return '\0';
    throw Refusal{text::fileTruncated};
  }

  enum class Number { Ok, NotANumber };

  // A formatted decimal read: white space skipped, an optional sign, then digits. Values beyond
  // the 64-bit range are held at its limits so that callers can tell "too large" apart.
  Number ReadInteger(int64_t& value) {
    while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
    if (AtEnd()) throw Refusal{text::fileTruncated};
    bool negative = false;
    if (text_[pos_] == '+' || text_[pos_] == '-') {
      negative = text_[pos_] == '-';
      ++pos_;
    }
    if (AtEnd()) throw Refusal{text::fileTruncated};
    if (!IsDigit(text_[pos_])) return Number::NotANumber;
    constexpr int64_t limit = std::numeric_limits<int64_t>::max() / 10 - 9;
    int64_t magnitude = 0;
    while (!AtEnd() && IsDigit(text_[pos_])) {
      if (magnitude < limit) magnitude = magnitude * 10 + (text_[pos_] - '0');
      ++pos_;
    }
    value = negative ? -magnitude : magnitude;
    return Number::Ok;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  std::string_view text_;
  std::size_t pos_ = 0;
};

int32_t ReadImageSize(Scanner& scanner) {
  int64_t value = 0;
  if (scanner.ReadInteger(value) != Scanner::Number::Ok || value <= 0)
    throw Refusal{text::badImageSize};
  if (value > std::numeric_limits<int32_t>::max()) throw Refusal{text::sizeBeyondFile};
  return static_cast<int32_t>(value);
}

int64_t ReadHeaderNumber(Scanner& scanner) {
  int64_t value = 0;
  if (scanner.ReadInteger(value) != Scanner::Number::Ok) throw Refusal{text::badHeaderNumber};
  return value;
}

// The next word of `text` from `pos` on, white space skipped; empty at the end.
std::string_view NextWord(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < text.size() && !IsSpace(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

bool IsColourKey(std::string_view word) {
  return word == "c" || word == "m" || word == "g4" || word == "g" || word == "s";
}

// Whether the words of a colour string name white for the visual key: the colour after the
// first `c`, or without a `c` after `m`, `g4` or `g`. A name runs up to the next key word, so
// "white smoke" is not white.
bool NamesWhite(std::string_view words) {
  for (const std::string_view key : {"c", "m", "g4", "g"}) {
    std::size_t pos = 0;
    for (std::string_view word = NextWord(words, pos); !word.empty(); word = NextWord(words, pos)) {
      if (word != key) continue;
      const std::string_view name = NextWord(words, pos);
      const std::string_view after = NextWord(words, pos);
      return EqualsIgnoringCase(name, whiteName) && (after.empty() || IsColourKey(after));
    }
  }
  return false;
}

struct ColourEntry {
  char key = 0;
  bool white = false;
};

// One colour string from just after its opening quote: the key character, then either a value
// after the first '#' (white when its first six are ffffff in any case) or colour names.
ColourEntry ReadColourEntry(Scanner& scanner) {
  ColourEntry entry;
  entry.key = scanner.Next();
  const std::string_view rest = scanner.ReadTo('"');  // up to the end of this colour string
  const std::size_t hash = rest.find('#');
  entry.white = hash == std::string_view::npos
                    ? NamesWhite(rest)
                    : EqualsIgnoringCase(rest.substr(hash + 1, whiteValue.size()), whiteValue);
  scanner.SkipTo('"');  // start of the next colour string or of the first pixel row
  return entry;
}

ImageRecord Scan(std::string_view text, ImageRole role) {
  const bool input = role == ImageRole::input;
  Scanner scanner(text);
  ImageRecord image;

  scanner.SkipTo('"');
  image.width = ReadImageSize(scanner);
  image.height = ReadImageSize(scanner);
  // Every pixel takes at least one character of the file, so a header claiming more pixels than
  // the file has characters left is refused before anything is allocated for it.
  const int64_t pixels = int64_t{image.width} * int64_t{image.height};
  if (pixels > static_cast<int64_t>(scanner.Remaining())) throw Refusal{text::sizeBeyondFile};
  // The counts are 32-bit; an image beyond them could not be held anyway.
  if (pixels > std::numeric_limits<int32_t>::max()) throw Refusal{text::memoryFailure};
  if (!input) {
    image.originRow = image.height / 2;
    image.originCol = image.width / 2;
  }

  const int64_t colours = ReadHeaderNumber(scanner);
  if (colours != 2) throw Refusal{input ? text::inputNotBinary : text::filterNotBinary};
  image.kind = binaryKind;
  const int64_t charsPerPixel = ReadHeaderNumber(scanner);
  if (charsPerPixel != 1)
    throw Refusal{input ? text::inputNotOneCharPerPixel : text::filterNotOneCharPerPixel};

  scanner.SkipTo('"');  // end of the header string; a hot spot before it is ignored
  scanner.SkipTo('"');  // start of the first colour string

  const ColourEntry first = ReadColourEntry(scanner);
  const ColourEntry second = ReadColourEntry(scanner);
  // The last white entry gives the white key; without one every pixel is black.
  bool hasWhite = false;
  char whiteKey = 0;
  for (const ColourEntry* entry : {&first, &second}) {
    if (entry->white) {
      hasWhite = true;
      whiteKey = entry->key;
    }
  }

  image.rows.Allocate(image.width, image.height);
  int64_t white = 0;
  for (int row = 0; row < image.height; ++row) {
    int32_t* out = image.rows[row];
    for (int column = 0; column < image.width; ++column) {
      const char c = scanner.Next();
      if (c == '"') throw Refusal{Format(text::rowTooShort, row + 1)};
      const bool isWhite = hasWhite && c == whiteKey;
      out[column] = isWhite ? 1 : 0;
      white += isWhite ? 1 : 0;
    }
    if (scanner.Next() != '"') throw Refusal{Format(text::rowTooLong, row + 1)};
    // On to the next row string; after the last row the closing brace (or the end of a file
    // whose pixels are all there) ends the image.
    const bool last = row + 1 == image.height;
    const char stop = scanner.SkipToEither('"', '}', last);
    if (!last && stop == '}') throw Refusal{text::tooFewRows};
  }
  if (input) {
    image.whiteCount = static_cast<int32_t>(white);
    image.blackCount = static_cast<int32_t>(pixels - white);
  }
  return image;
}

}  // namespace

ParseResult ParseXpm(std::string_view text, ImageRole role) {
  ParseResult result;
  try {
    result.image = Scan(text, role);
    result.ok = true;
  } catch (const Refusal& refusal) {
    result.message = refusal.message;
  } catch (const std::bad_alloc&) {
    result.message = Translate(text::memoryFailure);
  }
  return result;
}

}  // namespace dt
