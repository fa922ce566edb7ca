// Makes the skinned controls known to the window layout, and puts the
// transparent label in the place of the standard one, as the skinned
// windows use it.
#pragma once

namespace skin {

void RegisterSkinLayoutClasses();

}  // namespace skin
