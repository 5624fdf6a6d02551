#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <functional>

class QLabel;

// The per-frame values the screen-frame header carries besides the picture.
struct FrameHeaderFields
{
    int brightness = 100; // 0..100, the brightness spin box
    bool screenOn = true; // the screen toggle shows "on"; off sends brightness 0
    int styleMode = 0;    // 0 sensor overlays, 1 digital clock, 2 analog clock
    int sleepMode = 0;    // 0 standby mode on, 1 off
};

// Makes the screen-frame packets of the device from the preview (MainWindow::sendScreenJpgData):
// copies the preview's background frame, paints the child labels of the display mode over it at
// screen resolution (preview position / previewScale), turns a portrait frame a quarter-turn
// counter-clockwise into the screen's landscape 800 x 480, encodes JPEG at quality 90 and puts
// the 40-byte header in front.
//
// At most one composition per 15 ms: a call 14 ms or less after the previous composition returns
// nothing. The picture, the rotated picture and the packet buffers are kept between calls and
// reused while their sizes stay the same and nobody else holds the previous packet, so a steady
// stream allocates nothing per frame. GUI thread only.
class FrameComposer final
{
public:
    static constexpr int kHeaderBytes = 40; // Packets::kFrameHeaderSize
    static constexpr int kMinIntervalMs = 15;
    static constexpr int kJpegQuality = 90;

    // A monotonic clock in milliseconds; the default one is QElapsedTimer's.
    using Clock = std::function<qint64()>;

    explicit FrameComposer(Clock clock = {});
    ~FrameComposer();
    FrameComposer(const FrameComposer&) = delete;
    FrameComposer& operator=(const FrameComposer&) = delete;

    // One whole composition from `preview` (a MediaLabel or any label with the same children).
    // Returns the packet, or a null array when throttled.
    QByteArray composeFrame(const QLabel& preview, const FrameHeaderFields& fields);

    // Step by step, for callers and tests that need the pieces.
    // The throttle: true (and the clock restarted) when a composition may run now.
    bool startComposition();
    // The picture in landscape screen orientation; valid until the next call.
    const QImage& composeImage(const QLabel& preview, int styleMode);
    // JPEG-encodes `frame` behind a header built from `fields`.
    QByteArray encodePacket(const QImage& frame, const FrameHeaderFields& fields);

    // Writes the 40-byte screen-frame header for a JPEG of `jpegBytes` bytes into `header`.
    static void writeHeader(char* header, quint32 jpegBytes, const FrameHeaderFields& fields);
    // CRC-16/MODBUS (reflected 0xA001, initial 0xFFFF, no final XOR), as the header uses it.
    static quint16 crc16Modbus(const uchar* data, int length);

private:
    void paintBase(const QLabel& preview);
    void paintChildren(const QLabel& preview, int styleMode);
    const QImage& toLandscape();

    Clock m_clock;
    qint64 m_lastComposeMs = 0;
    bool m_composedOnce = false;
    QImage m_base;
    QImage m_rotated;
    QByteArray m_packet;
    QBuffer m_buffer;
};
