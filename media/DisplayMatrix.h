#pragma once

// A video stream's display matrix (AV_PKT_DATA_DISPLAYMATRIX: nine 32-bit fixed-point values that
// say how the decoded picture is turned for display), read and written where the linked FFmpeg
// keeps it. FFmpeg 6.1 (libavcodec 60.30) moved it into the codec parameters' coded side data; the
// stream's own side data is deprecated from then on and gone in FFmpeg 8. FFmpeg 5.1 and 6.0 only
// have the stream's side data.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstddef>
#include <cstdint>

namespace vortane::media {

constexpr std::size_t kDisplayMatrixBytes = 9 * sizeof(std::int32_t);

// The stream's display matrix, or null when it has none or one too short to read. The matrix
// belongs to the stream.
inline const std::int32_t* streamDisplayMatrix(const AVStream* stream)
{
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(60, 30, 100)
    const AVPacketSideData* entry = av_packet_side_data_get(
        stream->codecpar->coded_side_data, stream->codecpar->nb_coded_side_data, AV_PKT_DATA_DISPLAYMATRIX);
    if (!entry || !entry->data || entry->size < kDisplayMatrixBytes)
        return nullptr;
    return reinterpret_cast<const std::int32_t*>(entry->data);
#else
    size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < kDisplayMatrixBytes)
        return nullptr;
    return reinterpret_cast<const std::int32_t*>(data);
#endif
}

// Room for a display matrix on a stream that is about to be written (before avformat_write_header),
// zero-filled and owned by the stream; null when it cannot be allocated.
inline std::int32_t* addStreamDisplayMatrix(AVStream* stream)
{
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(60, 30, 100)
    AVPacketSideData* entry =
        av_packet_side_data_new(&stream->codecpar->coded_side_data, &stream->codecpar->nb_coded_side_data,
                                AV_PKT_DATA_DISPLAYMATRIX, kDisplayMatrixBytes, 0);
    return entry ? reinterpret_cast<std::int32_t*>(entry->data) : nullptr;
#else
    return reinterpret_cast<std::int32_t*>(
        av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, kDisplayMatrixBytes));
#endif
}

} // namespace vortane::media
