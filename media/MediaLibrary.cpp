#include "media/MediaLibrary.h"

#include "media/MediaFiles.h"

#include <QFileInfo>

namespace {

// Draws in shuffle mode before the pick falls back to list order (only a broken random source
// could need so many).
constexpr int kMaxRandomDraws = 10000;

} // namespace

MediaLibrary::MediaLibrary()
    : m_resolve([](const QString& stored) { return stored; })
    , m_makeThumbnail([](const QString& file, const MediaScaleRecord& record) {
        return vortane::media::makeThumbnail(file, record);
    })
{
}

void MediaLibrary::setItems(const QStringList& paths, const QVector<MediaScaleRecord>& records, int defaultCount)
{
    const int n = qMin(paths.size(), records.size());
    m_paths = paths.mid(0, n);
    m_records = records.mid(0, n);
    m_defaultCount = qBound(0, defaultCount, n);
    m_thumbnails.clear();
}

void MediaLibrary::append(const QString& path, const MediaScaleRecord& record)
{
    m_paths.append(path);
    m_records.append(record);
}

QString MediaLibrary::playableFile(int index) const
{
    if (index < 0 || index >= count() || m_paths.at(index).isEmpty())
        return {};
    const QString file = m_resolve(m_paths.at(index));
    return QFileInfo(file).isFile() ? file : QString();
}

int MediaLibrary::firstOfWidth(int frameWidth) const
{
    for (int i = 0; i < count(); ++i) {
        if (ofWidth(i, frameWidth))
            return i;
    }
    return -1;
}

int MediaLibrary::userItemCount(int frameWidth) const
{
    int n = 0;
    for (int i = m_defaultCount; i < count(); ++i)
        n += ofWidth(i, frameWidth) ? 1 : 0;
    return n;
}

MediaLibrary::CycleChoice MediaLibrary::nextForCycle(int cycleMode, int current, int frameWidth,
                                                     const RandomSource& random) const
{
    const int n = count();
    if (n == 0 || (cycleMode != 1 && cycleMode != 2))
        return {};
    if (firstOfWidth(frameWidth) < 0)
        return {CycleStep::Fallback, -1};
    if (cycleMode == 2 && random) {
        // Only items of the orientation are taken: an item of the other one cannot be shown here.
        for (int draw = 0; draw < kMaxRandomDraws; ++draw) {
            const int r = int((quint64(n) * random()) >> 32);
            if (r >= 0 && r < n && ofWidth(r, frameWidth))
                return {CycleStep::Apply, r};
        }
    }
    const int start = (current >= 0 && current < n) ? current : -1;
    for (int step = 1; step <= n; ++step) {
        const int i = (start + step) % n;
        if (ofWidth(i, frameWidth))
            return {CycleStep::Apply, i};
    }
    return {CycleStep::Fallback, -1};
}

MediaLibrary::Removal MediaLibrary::remove(int index, const DeleteConfirmation& confirm)
{
    Removal removal;
    if (!isDeletable(index))
        return removal;
    if (confirm && !confirm())
        return removal;
    m_paths.removeAt(index);
    m_records.removeAt(index);
    if (index < m_thumbnails.size())
        m_thumbnails.removeAt(index);
    removal.removed = true;
    if (index == m_currentIndex)
        removal.wasApplied = true;
    else if (index < m_currentIndex)
        --m_currentIndex;
    return removal;
}

void MediaLibrary::refreshThumbnails()
{
    for (int i = m_thumbnails.size(); i < count(); ++i) {
        const MediaScaleRecord& record = m_records.at(i);
        if (m_paths.at(i).isEmpty() || record.width <= 0 || record.height <= 0) {
            m_thumbnails.append(QImage());
            continue;
        }
        const QString file = playableFile(i);
        QImage thumbnail = file.isEmpty() ? QImage() : m_makeThumbnail(file, record);
        if (thumbnail.isNull()) {
            thumbnail = QImage(record.width, record.height, QImage::Format_RGB32);
            thumbnail.fill(Qt::black);
        }
        m_thumbnails.append(thumbnail);
    }
}

QVector<CustomImageList::Entry> MediaLibrary::stripEntries() const
{
    QVector<CustomImageList::Entry> entries;
    for (int i = 0; i < m_thumbnails.size() && i < count(); ++i) {
        if (m_thumbnails.at(i).isNull())
            continue;
        CustomImageList::Entry entry;
        entry.id = i;
        entry.thumbnail = m_thumbnails.at(i);
        entry.landscape = m_records.at(i).width == kLandscapeFrameWidth;
        entry.deletable = isDeletable(i);
        entries.append(entry);
    }
    return entries;
}
