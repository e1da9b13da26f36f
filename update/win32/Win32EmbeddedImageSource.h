// The firmware image carried as a resource of the program's own module.
#pragma once

#include "update/FirmwareSources.h"

namespace reflasher {

class Win32EmbeddedImageSource : public EmbeddedImageSource {
public:
    bool Find(FirmwareImage* image) const override;
};

}  // namespace reflasher
