// Where the running program lives: the tool finds its language files and
// reports its own folder from here, whatever the length of the path.
#pragma once

#include <string>

namespace ui {

// The folder of the running executable with its trailing "\"; empty when
// the system cannot tell.
std::wstring ExecutableFolder();

}  // namespace ui
