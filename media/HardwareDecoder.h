#pragma once

// Hardware-assisted decoding through FFmpeg's hardware-device interface, with software decoding
// as the fallback. Private to media/.

#include "media/FFmpegPtr.h"

extern "C" {
#include <libavutil/hwcontext.h>
}

namespace vortane::media {

// The device type this platform decodes with: VAAPI on Linux, DXVA2 on Windows. One definition per
// platform backend (linux/, windows/), chosen by the build.
AVHWDeviceType platformHardwareDeviceType();

// Hardware decoding for one decoder context, from `setup` until destruction. Declare it before the
// decoder context it serves so that it outlives that context: the context's format callback reads
// the pixel format kept here (through AVCodecContext::opaque), which keeps concurrent players from
// reading each other's choice.
class HardwareDecoding final
{
public:
    enum class Result
    {
        Enabled,         // frames arrive in pixelFormat() on the device
        NoConfiguration, // the decoder offers no configuration for the platform's device type
        NoDevice,        // the device could not be created (no GPU, no driver); software decoding
    };

    HardwareDecoding() = default;
    ~HardwareDecoding();
    HardwareDecoding(const HardwareDecoding&) = delete;
    HardwareDecoding& operator=(const HardwareDecoding&) = delete;

    // Call before avcodec_open2. Uses context->opaque and context->get_format on success.
    Result setup(const AVCodec* codec, AVCodecContext* context);

    bool enabled() const { return m_device != nullptr; }
    AVPixelFormat pixelFormat() const { return m_pixelFormat; }

    // The process-wide record of the most recent set-up by any player: its pixel format, and
    // whether its device is still held by a running decode. Thread-safe.
    static AVPixelFormat lastPixelFormat();
    static bool lastDeviceActive();

private:
    static AVPixelFormat selectHardwareFormat(AVCodecContext* context, const AVPixelFormat* offered);

    ffmpeg::BufferRefPtr m_device;
    AVPixelFormat m_pixelFormat = AV_PIX_FMT_NONE;
};

} // namespace vortane::media
