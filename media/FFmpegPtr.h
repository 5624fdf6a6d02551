#pragma once

// Owning handles for FFmpeg objects. Every context, frame, packet, scaler and buffer reference that
// the media code creates lives in one of these, so an early return on any decode path releases it.
// Private to media/ and its test fixtures; nothing else sees an FFmpeg type.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace vortane::ffmpeg {

struct FormatContextDeleter
{
    // Opened inputs are closed; a context that was only allocated is freed the same way.
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputFormatContextDeleter
{
    void operator()(AVFormatContext* context) const
    {
        if (context->pb && !(context->oformat->flags & AVFMT_NOFILE)) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};
struct CodecContextDeleter
{
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter
{
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerDeleter
{
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
struct BufferRefDeleter
{
    void operator()(AVBufferRef* buffer) const { av_buffer_unref(&buffer); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;
using OutputFormatContextPtr = std::unique_ptr<AVFormatContext, OutputFormatContextDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerDeleter>;
using BufferRefPtr = std::unique_ptr<AVBufferRef, BufferRefDeleter>;

inline FramePtr makeFrame()
{
    return FramePtr(av_frame_alloc());
}
inline PacketPtr makePacket()
{
    return PacketPtr(av_packet_alloc());
}

} // namespace vortane::ffmpeg
