#include "platform/console/ConsoleMessages.h"

#include <cstdio>

namespace dt {

MessageResult ConsoleMessages::Show(const std::string& text, const std::string& caption,
                                    MessageButtons) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  return MessageResult::Ok;
}

}  // namespace dt
