#include "media/HardwareDecoder.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <QMutex>
#include <QMutexLocker>

namespace vortane::media {

namespace {

// Shared by every player in the process; written when a decode sets up its device and when it ends.
struct SharedHardwareState
{
    QMutex mutex;
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
    const AVBufferRef* device = nullptr; // identity only; the owning decode holds the reference
};

SharedHardwareState& sharedState()
{
    static SharedHardwareState state;
    return state;
}

} // namespace

HardwareDecoding::~HardwareDecoding()
{
    if (!m_device) {
        return;
    }
    // Only the decode that set the shared record clears it, so one player ending does not drop
    // another's device.
    SharedHardwareState& state = sharedState();
    QMutexLocker lock(&state.mutex);
    if (state.device == m_device.get()) {
        state.device = nullptr;
    }
}

HardwareDecoding::Result HardwareDecoding::setup(const AVCodec* codec, AVCodecContext* context)
{
    const AVHWDeviceType wanted = platformHardwareDeviceType();
    for (int index = 0;; ++index) {
        const AVCodecHWConfig* config = avcodec_get_hw_config(codec, index);
        if (!config) {
            return Result::NoConfiguration;
        }
        if (!(config->methods & AV_CODEC_HW_CONFIG_METHOD_HW_DEVICE_CTX) || config->device_type != wanted) {
            continue;
        }
        AVBufferRef* device = nullptr;
        if (av_hwdevice_ctx_create(&device, wanted, nullptr, nullptr, 0) < 0 || !device) {
            return Result::NoDevice;
        }
        ffmpeg::BufferRefPtr owned(device);
        context->hw_device_ctx = av_buffer_ref(owned.get());
        if (!context->hw_device_ctx) {
            return Result::NoDevice;
        }
        m_device = std::move(owned);
        m_pixelFormat = config->pix_fmt;
        context->opaque = this;
        context->get_format = &HardwareDecoding::selectHardwareFormat;

        SharedHardwareState& state = sharedState();
        QMutexLocker lock(&state.mutex);
        state.pixelFormat = m_pixelFormat;
        state.device = m_device.get();
        return Result::Enabled;
    }
}

AVPixelFormat HardwareDecoding::selectHardwareFormat(AVCodecContext* context, const AVPixelFormat* offered)
{
    const auto* self = static_cast<const HardwareDecoding*>(context->opaque);
    for (const AVPixelFormat* format = offered; *format != AV_PIX_FMT_NONE; ++format) {
        if (self && *format == self->m_pixelFormat) {
            return *format;
        }
    }
    // The device cannot take this stream (FFmpeg asks again without the hardware format when the
    // GPU rejects a profile or size): decode it in software rather than not at all.
    for (const AVPixelFormat* format = offered; *format != AV_PIX_FMT_NONE; ++format) {
        const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(*format);
        if (descriptor && !(descriptor->flags & AV_PIX_FMT_FLAG_HWACCEL)) {
            return *format;
        }
    }
    return AV_PIX_FMT_NONE;
}

AVPixelFormat HardwareDecoding::lastPixelFormat()
{
    SharedHardwareState& state = sharedState();
    QMutexLocker lock(&state.mutex);
    return state.pixelFormat;
}

bool HardwareDecoding::lastDeviceActive()
{
    SharedHardwareState& state = sharedState();
    QMutexLocker lock(&state.mutex);
    return state.device != nullptr;
}

} // namespace vortane::media
