// Where the sample commands find their pictures.
#pragma once

#include <QString>
#include <string>

namespace dt {

// The file the window opens for the sample picture `name`: the one in the working directory when
// there is one (users keep their own pictures there), else the one installed with the program
// (<programFolder>/../share/dtmorph/samples), else, for a program run from its build tree, the
// one in the source tree. When none exists the bare name comes back, so that the message of the
// failed load names the file the user asked for.
std::string FindSample(const std::string& name, const QString& programFolder);

}  // namespace dt
