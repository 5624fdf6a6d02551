#include "media/HardwareDecoder.h"

namespace vortane::media {

// Windows decodes through DXVA2, which every Direct3D 9 capable driver offers.
AVHWDeviceType platformHardwareDeviceType()
{
    return AV_HWDEVICE_TYPE_DXVA2;
}

} // namespace vortane::media
