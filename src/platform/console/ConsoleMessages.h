// Messages of the command-line tool: written to standard error as "caption: text". Questions are
// answered OK, since the tool runs without anybody at the keyboard.
#pragma once

#include "platform/Platform.h"

namespace dt {

class ConsoleMessages final : public MessageService {
 public:
  MessageResult Show(const std::string& text, const std::string& caption,
                     MessageButtons buttons) override;
};

}  // namespace dt
