#pragma once
// The add-in's bitmap resources (button faces and their masks), loaded by id
// as pictures. They are BMP files named "<id>.bmp" in the resource folder
// (ResourceFolder(), settings/addin_state.h).

#include <memory>

namespace host {
class Picture;
}

namespace lumivane {

// LoadResPicture(id, vbResBitmap). Raises 326 when there is no resource of
// that id, 481 when it is no picture.
std::shared_ptr<const host::Picture> LoadResPicture(long id);

}  // namespace lumivane
