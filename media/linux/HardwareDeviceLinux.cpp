#include "media/HardwareDecoder.h"

namespace vortane::media {

// Linux decodes on the GPU through VA-API (Intel, AMD, and NVIDIA through nvidia-vaapi-driver).
AVHWDeviceType platformHardwareDeviceType()
{
    return AV_HWDEVICE_TYPE_VAAPI;
}

} // namespace vortane::media
