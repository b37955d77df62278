#include "platform/Translate.h"

#include <cstring>

namespace dt {

namespace {

Translator installed = nullptr;

// The conversions of a printf pattern in order, each with its length modifier: "d lld s ".
std::string Conversions(const char* pattern) {
  std::string found;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (*p != '%' || *++p == '%') continue;
    for (; *p != '\0' && std::strchr("-+ #'0123456789.*", *p) != nullptr; ++p)
      if (*p == '*') found += "* ";  // a width or precision taken from the arguments
    while (*p != '\0' && std::strchr("hlLqjzt", *p) != nullptr) found += *p++;
    if (*p == '\0') break;
    found += *p;
    found += ' ';
  }
  return found;
}

}  // namespace

void InstallTranslator(Translator translator) { installed = translator; }

std::string Translate(const char* text) {
  if (installed == nullptr) return text;
  std::string translated = installed(text);
  return Conversions(translated.c_str()) == Conversions(text) ? translated : text;
}

}  // namespace dt
