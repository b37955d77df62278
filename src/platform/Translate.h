// The engine's texts in the language the program shows. dtcore includes no Qt header, so it
// marks its texts with a QT_TRANSLATE_NOOP of its own that is just the text, as Qt's is: lupdate
// reads the sources as text and collects every QT_TRANSLATE_NOOP("dtcore", "...") into
// translations/dtdemo_en.ts. Where a text is shown, or a pattern is formatted, Translate gives
// it in the language shown: through the translator the desktop program installs, or as it is
// (dtmorph, the tests).
#pragma once

#include <string>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

namespace dt {

// Gives the text shown for a source text; it receives only texts marked as above.
using Translator = std::string (*)(const char* text);

// Null puts back the texts as they are written.
void InstallTranslator(Translator translator);

// text in the language shown. A printf pattern's translation is used only when it has the
// source's conversions (%d, %s, %lld, ...) in the same order, flags, width and precision aside,
// so that formatting it reads the arguments the caller gives.
std::string Translate(const char* text);

}  // namespace dt
