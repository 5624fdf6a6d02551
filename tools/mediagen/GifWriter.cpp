#include "tools/mediagen/GifWriter.h"

#include <QSaveFile>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kColourBits = 6; // histogram and look-up precision per channel
constexpr int kCells = 1 << (3 * kColourBits);
constexpr int kPaletteColours = 255; // index 255 is kept for "unchanged since the previous frame"
constexpr uint8_t kTransparentIndex = 255;
constexpr double kDitherAmplitude = 8.0; // peak-to-peak, in 8-bit channel units

int cellOf(int r, int g, int b)
{
    constexpr int shift = 8 - kColourBits;
    return ((r >> shift) << (2 * kColourBits)) | ((g >> shift) << kColourBits) | (b >> shift);
}

int channelOf(int cell, int channel)
{
    return (cell >> ((2 - channel) * kColourBits)) & ((1 << kColourBits) - 1);
}

struct Cell
{
    int index = 0;
    int64_t count = 0;
};

struct Box
{
    std::vector<Cell> cells;
    int64_t count = 0;
    int longestAxis = 0;
    int range = 0;

    void measure()
    {
        std::array<int, 3> lo{255, 255, 255};
        std::array<int, 3> hi{0, 0, 0};
        count = 0;
        for (const Cell& c : cells) {
            count += c.count;
            for (int ch = 0; ch < 3; ++ch) {
                lo[ch] = std::min(lo[ch], channelOf(c.index, ch));
                hi[ch] = std::max(hi[ch], channelOf(c.index, ch));
            }
        }
        range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            if (hi[ch] - lo[ch] > range) {
                range = hi[ch] - lo[ch];
                longestAxis = ch;
            }
        }
    }
};

// Colour statistics of all frames: pixel count and channel sums per cell.
struct Histogram
{
    std::vector<int64_t> count = std::vector<int64_t>(kCells, 0);
    std::vector<std::array<int64_t, 3>> sum = std::vector<std::array<int64_t, 3>>(kCells, {0, 0, 0});

    void add(const QImage& frame)
    {
        for (int y = 0; y < frame.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            for (int x = 0; x < frame.width(); ++x) {
                const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
                const int cell = cellOf(r, g, b);
                ++count[cell];
                sum[cell][0] += r;
                sum[cell][1] += g;
                sum[cell][2] += b;
            }
        }
    }
};

std::vector<QRgb> medianCut(const Histogram& histogram)
{
    std::vector<Box> boxes(1);
    for (int i = 0; i < kCells; ++i) {
        if (histogram.count[i])
            boxes[0].cells.push_back({i, histogram.count[i]});
    }
    boxes[0].measure();
    while (int(boxes.size()) < kPaletteColours) {
        // Split the box whose pixels spread furthest, weighted by how many pixels it holds.
        int best = -1;
        double bestScore = 0.0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].cells.size() < 2 || boxes[i].range <= 0)
                continue;
            const double score = double(boxes[i].range) * double(boxes[i].range) * double(boxes[i].count);
            if (score > bestScore) {
                bestScore = score;
                best = i;
            }
        }
        if (best < 0)
            break;
        Box& box = boxes[best];
        const int axis = box.longestAxis;
        std::sort(box.cells.begin(), box.cells.end(),
                  [axis](const Cell& a, const Cell& b) { return channelOf(a.index, axis) < channelOf(b.index, axis); });
        int64_t seen = 0;
        size_t split = 1;
        for (size_t i = 0; i + 1 < box.cells.size(); ++i) {
            seen += box.cells[i].count;
            split = i + 1;
            if (seen * 2 >= box.count)
                break;
        }
        Box upper;
        upper.cells.assign(box.cells.begin() + std::ptrdiff_t(split), box.cells.end());
        box.cells.resize(split);
        box.measure();
        upper.measure();
        boxes.push_back(std::move(upper));
    }

    std::vector<QRgb> palette;
    for (const Box& box : boxes) {
        std::array<int64_t, 3> sum{0, 0, 0};
        int64_t count = 0;
        for (const Cell& c : box.cells) {
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += histogram.sum[c.index][ch];
            count += c.count;
        }
        if (count == 0)
            continue;
        palette.push_back(qRgb(int((sum[0] + count / 2) / count), int((sum[1] + count / 2) / count),
                               int((sum[2] + count / 2) / count)));
    }
    if (palette.empty())
        palette.push_back(qRgb(0, 0, 0));
    return palette;
}

// Nearest palette entry per colour cell, found the first time a cell is asked for.
class PaletteMap
{
public:
    explicit PaletteMap(const std::vector<QRgb>& palette)
        : m_palette(palette)
        , m_lookup(kCells, -1)
    {
    }

    uint8_t indexOf(int r, int g, int b)
    {
        const int cell = cellOf(r, g, b);
        if (m_lookup[cell] < 0) {
            constexpr int half = 1 << (7 - kColourBits);
            const int cr = (channelOf(cell, 0) << (8 - kColourBits)) + half;
            const int cg = (channelOf(cell, 1) << (8 - kColourBits)) + half;
            const int cb = (channelOf(cell, 2) << (8 - kColourBits)) + half;
            int best = 0;
            int bestDistance = INT32_MAX;
            for (int i = 0; i < int(m_palette.size()); ++i) {
                const int dr = qRed(m_palette[i]) - cr, dg = qGreen(m_palette[i]) - cg, db = qBlue(m_palette[i]) - cb;
                // Weights roughly follow the eye's sensitivity to each primary.
                const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            m_lookup[cell] = int16_t(best);
        }
        return uint8_t(m_lookup[cell]);
    }

private:
    const std::vector<QRgb>& m_palette;
    std::vector<int16_t> m_lookup;
};

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

std::vector<uint8_t> mapFrame(const QImage& frame, PaletteMap& map)
{
    std::vector<uint8_t> indexes(size_t(frame.width()) * size_t(frame.height()));
    int offset[4][4];
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            offset[y][x] = int((kBayer4[y][x] + 0.5) / 16.0 * kDitherAmplitude - kDitherAmplitude / 2.0);
    }
    for (int y = 0; y < frame.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        uint8_t* out = indexes.data() + size_t(y) * size_t(frame.width());
        for (int x = 0; x < frame.width(); ++x) {
            const int d = offset[y & 3][x & 3];
            out[x] = map.indexOf(qBound(0, qRed(line[x]) + d, 255), qBound(0, qGreen(line[x]) + d, 255),
                                 qBound(0, qBlue(line[x]) + d, 255));
        }
    }
    return indexes;
}

void putWord(QByteArray& out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Packs codes least significant bit first.
class BitPacker
{
public:
    explicit BitPacker(QByteArray& out)
        : m_out(out)
    {
    }
    void put(int code, int bits)
    {
        m_buffer |= uint32_t(code) << m_bits;
        m_bits += bits;
        while (m_bits >= 8) {
            m_out.append(char(m_buffer & 0xff));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    void flush()
    {
        if (m_bits > 0)
            m_out.append(char(m_buffer & 0xff));
        m_buffer = 0;
        m_bits = 0;
    }

private:
    QByteArray& m_out;
    uint32_t m_buffer = 0;
    int m_bits = 0;
};

} // namespace

QByteArray GifWriter::compress(const uint8_t* indexes, int count)
{
    constexpr int kClearCode = 256;
    constexpr int kEndCode = 257;
    constexpr int kFirstFreeCode = 258;
    constexpr int kLastUsableCode = 4095; // the table is restarted instead of taking code 4095
    constexpr int kMaxBits = 12;
    constexpr int kHashBits = 13;
    constexpr int kHashSize = 1 << kHashBits;

    // Open-addressed table from (prefix code << 8 | next index) to the code of that string.
    std::vector<int32_t> keys(kHashSize);
    std::vector<uint16_t> codes(kHashSize);
    int nextCode = kFirstFreeCode;
    int bits = 9;
    auto restart = [&] {
        std::fill(keys.begin(), keys.end(), -1);
        nextCode = kFirstFreeCode;
        bits = 9;
    };

    QByteArray out;
    BitPacker packer(out);
    restart();
    packer.put(kClearCode, bits);
    if (count <= 0) {
        packer.put(kEndCode, bits);
        packer.flush();
        return out;
    }
    // After each code goes out, the decoder's table grows by one entry; both sides widen the code
    // once the next free code no longer fits.
    auto putCode = [&](int code) {
        packer.put(code, bits);
        if (nextCode >= (1 << bits) && bits < kMaxBits)
            ++bits;
    };

    int prefix = indexes[0];
    for (int i = 1; i < count; ++i) {
        const int pixel = indexes[i];
        const int32_t key = (prefix << 8) | pixel;
        uint32_t slot = (uint32_t(key) * 2654435761u) >> (32 - kHashBits);
        while (keys[slot] != -1 && keys[slot] != key)
            slot = (slot + 1) & (kHashSize - 1);
        if (keys[slot] == key) {
            prefix = codes[slot];
            continue;
        }
        putCode(prefix);
        if (nextCode >= kLastUsableCode) {
            packer.put(kClearCode, bits);
            restart();
        } else {
            keys[slot] = key;
            codes[slot] = uint16_t(nextCode++);
        }
        prefix = pixel;
    }
    putCode(prefix);
    packer.put(kEndCode, bits);
    packer.flush();
    return out;
}

bool GifWriter::write(const QString& path, const QVector<QImage>& frames, int delayCentiseconds, QString* error)
{
    auto failWith = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (frames.isEmpty() || frames.first().isNull())
        return failWith(QStringLiteral("no frames"));
    const QSize size = frames.first().size();
    if (size.width() > 0xffff || size.height() > 0xffff)
        return failWith(QStringLiteral("frame too large for GIF"));

    QVector<QImage> rgb;
    rgb.reserve(frames.size());
    Histogram histogram;
    for (const QImage& frame : frames) {
        if (frame.size() != size)
            return failWith(QStringLiteral("frames differ in size"));
        rgb.push_back(frame.convertToFormat(QImage::Format_RGB32));
        histogram.add(rgb.back());
    }
    const std::vector<QRgb> palette = medianCut(histogram);
    PaletteMap map(palette);

    QByteArray gif;
    gif.append("GIF89a", 6);
    putWord(gif, size.width());
    putWord(gif, size.height());
    gif.append(char(0xF7)); // global colour table of 256 entries, 8 bits per primary
    gif.append(char(0));    // background colour index
    gif.append(char(0));    // square pixels
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : qRgb(0, 0, 0);
        gif.append(char(qRed(c)));
        gif.append(char(qGreen(c)));
        gif.append(char(qBlue(c)));
    }
    // Loop forever.
    gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    putWord(gif, 0);
    gif.append(char(0));

    std::vector<uint8_t> previous;
    for (const QImage& frame : rgb) {
        std::vector<uint8_t> current = mapFrame(frame, map);
        QRect changed(QPoint(0, 0), size);
        if (!previous.empty()) {
            int left = size.width(), right = -1, top = size.height(), bottom = -1;
            for (int y = 0; y < size.height(); ++y) {
                const size_t row = size_t(y) * size_t(size.width());
                for (int x = 0; x < size.width(); ++x) {
                    if (current[row + size_t(x)] != previous[row + size_t(x)]) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
                }
            }
            changed = right < 0 ? QRect(0, 0, 1, 1) : QRect(QPoint(left, top), QPoint(right, bottom));
        }
        std::vector<uint8_t> block;
        block.reserve(size_t(changed.width()) * size_t(changed.height()));
        for (int y = changed.top(); y <= changed.bottom(); ++y) {
            const size_t row = size_t(y) * size_t(size.width());
            for (int x = changed.left(); x <= changed.right(); ++x) {
                const size_t i = row + size_t(x);
                block.push_back(!previous.empty() && current[i] == previous[i] ? kTransparentIndex : current[i]);
            }
        }

        // Graphic control: keep the previous frame under this one, transparency after the first.
        gif.append("\x21\xF9\x04", 3);
        gif.append(char((1 << 2) | (previous.empty() ? 0 : 1)));
        putWord(gif, qBound(0, delayCentiseconds, 0xffff));
        gif.append(char(kTransparentIndex));
        gif.append(char(0));

        gif.append(char(0x2C));
        putWord(gif, changed.left());
        putWord(gif, changed.top());
        putWord(gif, changed.width());
        putWord(gif, changed.height());
        gif.append(char(0)); // no local colour table, not interlaced

        gif.append(char(8)); // minimum code size
        const QByteArray codes = compress(block.data(), int(block.size()));
        for (int at = 0; at < codes.size(); at += 255) {
            const int length = std::min(255, int(codes.size()) - at);
            gif.append(char(length));
            gif.append(codes.constData() + at, length);
        }
        gif.append(char(0));
        previous = std::move(current);
    }
    gif.append(char(0x3B));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(gif) != gif.size() || !file.commit())
        return failWith(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return true;
}
